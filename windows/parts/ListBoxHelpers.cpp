#include "windows/parts/ListBoxHelpers.h"

#include "core/AppState.h"
#include "core/SchoolData.h"

#include <QComboBox>
#include <QListWidget>
#include <QMetaObject>
#include <QPointer>
#include <QScrollBar>

namespace {

// Arrow clicks move the list by at most this many rows.
constexpr int kSmallChangeMax = 5;

int listPosition(QListWidget* list)
{
    return list->verticalScrollBar()->value();
}

} // namespace

void ListToListBox(QListWidget* list, const QStringList& items)
{
    list->clear();
    list->addItems(items);
}

void AddItemIfMissing(QListWidget* list, const QString& text)
{
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text().compare(text, Qt::CaseInsensitive) == 0)
            return;
    }
    list->addItem(text);
}

void AddMissingItems(QListWidget* list, const QStringList& items)
{
    for (const QString& text : items)
        AddItemIfMissing(list, text);
}

void FillClassCombo(QComboBox* combo)
{
    combo->clear();
    const QList<_Klasa>& classes = schoolData().Classes;
    if (classes.isEmpty())
        return;
    for (const _Klasa& klasa : classes)
        combo->addItem(klasa.Name);
    appState().CurrentClassIndex = 0;
    combo->setCurrentIndex(0);
}

void CollectSelected(QListWidget* list, QStringList& names, std::optional<MarkKind> mark)
{
    names.clear();
    QList<int> rows;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected()) {
            names << list->item(row)->text();
            rows << row;
        }
    }
    if (mark)
        klasaFull().MarkRows(rows, *mark);
}

void PrepareScrolledList(QListWidget* list)
{
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void SyncListScrollBar(int itemCount, int visibleRows, QWidget* panel, QListWidget* list, QScrollBar* bar)
{
    if (visibleRows < itemCount) {
        bar->setMaximum(itemCount - visibleRows);
        bar->setPageStep(qMax(1, visibleRows - 1));
        bar->setSingleStep(qBound(1, visibleRows - 2, kSmallChangeMax));
        bar->setValue(listPosition(list));
        panel->show();
    } else {
        panel->hide();
    }
}

void ScrollBarFollowsList(QListWidget* list, QScrollBar* bar)
{
    bar->setValue(listPosition(list));
}

void ListFollowsScrollBar(QListWidget* list, QScrollBar* bar)
{
    const int position = bar->value();
    QMetaObject::invokeMethod(
        list,
        [target = QPointer<QListWidget>(list), position] {
            if (target)
                target->verticalScrollBar()->setValue(position);
        },
        Qt::QueuedConnection);
}
