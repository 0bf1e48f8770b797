#include "windows/parts/WindowFinish.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalBlocker>

#include <typeinfo>

namespace {

// The skin's own button drops the list down; Qt's arrow beside it would be a second one.
const QString kNoOwnArrow = QStringLiteral("QComboBox { padding-left: 6px; padding-right: 4px; }"
                                           "QComboBox::drop-down { width: 0px; border: none; }"
                                           "QComboBox::down-arrow { image: none; width: 0px; height: 0px; }");

int rowHeight(QListWidget* list)
{
    if (list->count() > 0)
        return list->sizeHintForRow(0);
    // An empty list is measured with a row of its own font, taken away at once.
    const QSignalBlocker quiet(list);
    list->addItem(QStringLiteral("Ąg"));
    const int height = list->sizeHintForRow(0);
    delete list->takeItem(0);
    return height;
}

// A scroll bar whose handle stands out from its groove on the white lists and on the
// main window's dark panel alike.
const QString kScrollBar = QStringLiteral(
    "QScrollBar:vertical { background: #1d3d63; width: 14px; margin: 0; border: none; }"
    "QScrollBar::handle:vertical { background: #9dbbe0; border: 1px solid #f2c230; border-radius: 4px;"
    " min-height: 24px; margin: 1px 2px; }"
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; border: none; }"
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }");

} // namespace

namespace WindowFinish {

void PaddedItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const
{
    QStyleOptionViewItem whole(option);
    initStyleOption(&whole, index);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &whole, painter, widget);
    QStyleOptionViewItem inset(option);
    inset.rect.setLeft(option.rect.left() + kPadding);
    QStyledItemDelegate::paint(painter, inset, index);
}

void FitToWholeRows(QListWidget* list)
{
    const int row = rowHeight(list);
    const int frame = list->frameWidth();
    const int inside = list->height() - 2 * frame;
    if (row <= 0 || inside < row)
        return;
    const int whole = inside / row * row;
    if (whole != inside)
        list->resize(list->width(), whole + 2 * frame);
}

void Apply(QWidget* window)
{
    for (QComboBox* combo : window->findChildren<QComboBox*>()) {
        if (!combo->isEditable())
            combo->setStyleSheet(combo->styleSheet() + kNoOwnArrow);
    }
    for (QListWidget* list : window->findChildren<QListWidget*>()) {
        FitToWholeRows(list);
        // Lists with a drawing of their own (details beside names) keep it.
        QAbstractItemDelegate* drawn = list->itemDelegate();
        if (drawn && typeid(*drawn) == typeid(QStyledItemDelegate))
            list->setItemDelegate(new PaddedItemDelegate(list));
    }
    // Text keeps a little room from the field's left border.
    for (QLineEdit* edit : window->findChildren<QLineEdit*>()) {
        if (edit->textMargins().isNull() && !qobject_cast<QComboBox*>(edit->parentWidget()))
            edit->setTextMargins(4, 0, 4, 0);
    }
    for (QScrollBar* bar : window->findChildren<QScrollBar*>()) {
        if (bar->orientation() == Qt::Vertical && bar->styleSheet().isEmpty())
            bar->setStyleSheet(kScrollBar);
    }
}

} // namespace WindowFinish
