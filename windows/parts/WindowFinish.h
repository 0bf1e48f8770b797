#pragma once

#include <QStyledItemDelegate>

class QListWidget;
class QWidget;

// Finishing touches every window gets once it is built, so that the controls Qt draws
// sit well in the painted skins.
namespace WindowFinish {

// Combo boxes without Qt's own drop-down arrow (the skin paints the button beside
// each), and lists that show whole rows only, their text clear of the left border.
void Apply(QWidget* window);

// A list entry drawn with a little room between its text and the list's left border;
// its selection still fills the whole row.
class PaddedItemDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static constexpr int kPadding = 4;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Makes `list` a whole number of rows high, never higher than it was, so that no row
// is cut by the list's bottom edge.
void FitToWholeRows(QListWidget* list);

} // namespace WindowFinish
