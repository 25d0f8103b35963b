// The icon column's cell: draws only the item's image, at 16 x 16, at the
// cell's left edge plus 3 points; no text, background or focus.
#pragma once

#include <QStyledItemDelegate>

namespace PDE {

class IconedCell : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static constexpr int kIconSize = 16;
    static constexpr int kLeftInset = 3;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace PDE
