#include "IconedCell.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace PDE {

namespace {

// The item's image at its own full size: an icon's largest rendition, or the
// pixmap or image itself.
QPixmap imageOf(const QVariant& value) {
    if (value.canConvert<QIcon>() && value.typeId() == QMetaType::QIcon) {
        const QIcon icon = value.value<QIcon>();
        if (icon.isNull())
            return {};
        QSize largest;
        for (const QSize& size : icon.availableSizes())
            largest = largest.isValid() &&
                              largest.width() * largest.height() >= size.width() * size.height()
                          ? largest
                          : size;
        return icon.pixmap(largest.isValid() ? largest
                                             : QSize(IconedCell::kIconSize, IconedCell::kIconSize));
    }
    if (value.typeId() == QMetaType::QPixmap)
        return value.value<QPixmap>();
    if (value.typeId() == QMetaType::QImage)
        return QPixmap::fromImage(value.value<QImage>());
    return {};
}

} // namespace

void IconedCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                       const QModelIndex& index) const {
    const QPixmap image = imageOf(index.data(Qt::DecorationRole));
    if (image.isNull())
        return;
    // Every image, whatever its own size and shape, fills the 16 x 16 square.
    const QRect target(option.rect.x() + kLeftInset, option.rect.y(), kIconSize, kIconSize);
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->drawPixmap(target, image);
    painter->restore();
}

QSize IconedCell::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return QSize(kIconSize + 2 * kLeftInset, kIconSize);
}

} // namespace PDE
