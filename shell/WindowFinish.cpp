#include "shell/WindowFinish.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

namespace {

// The skin's own button drops the list down; Qt's arrow beside it would be a second one.
const QString kNoOwnArrow = QStringLiteral("QComboBox { padding-right: 4px; }"
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

} // namespace

namespace WindowFinish {

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
    for (QListWidget* list : window->findChildren<QListWidget*>())
        FitToWholeRows(list);
}

} // namespace WindowFinish
