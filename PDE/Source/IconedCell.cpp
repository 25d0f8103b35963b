#include "IconedCell.h"

#include <QIcon>
#include <QPainter>

namespace PDE {

void IconedCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                       const QModelIndex& index) const {
    const QVariant image = index.data(Qt::DecorationRole);
    QIcon icon;
    if (image.canConvert<QIcon>())
        icon = image.value<QIcon>();
    if (icon.isNull())
        return;
    const QRect target(option.rect.x() + kLeftInset, option.rect.y(), kIconSize, kIconSize);
    icon.paint(painter, target, Qt::AlignCenter, QIcon::Normal, QIcon::Off);
}

QSize IconedCell::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return QSize(kIconSize + 2 * kLeftInset, kIconSize);
}

} // namespace PDE
