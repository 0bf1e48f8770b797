#pragma once

#include "core/KlasaFull.h"

#include <QStringList>

#include <optional>

class QComboBox;
class QListWidget;
class QScrollBar;
class QWidget;

// List boxes show their rows one item per scroll step, so a list's vertical scroll
// position is the index of its top row. The teacher list hides its own scroll bar
// and is scrolled by a skinned one beside it.

// Replaces the items of `list` by `items`.
void ListToListBox(QListWidget* list, const QStringList& items);
// Adds each of `items` that the list does not hold yet (letter case ignored).
void AddMissingItems(QListWidget* list, const QStringList& items);
void AddItemIfMissing(QListWidget* list, const QString& text);

// Fills `combo` with the school's classes in order; with any class, the first is
// chosen and becomes the current class.
void FillClassCombo(QComboBox* combo);
// Puts into `names` the texts of the selected items of `list`, in order. With a mark,
// the class sheet's row at each selected item's index gets that mark (the list holds
// the class's pupils in row order); without one the sheet is not touched.
void CollectSelected(QListWidget* list, QStringList& names, std::optional<MarkKind> mark = std::nullopt);

// Makes `list` scroll by whole rows and hides its own scroll bar.
void PrepareScrolledList(QListWidget* list);

// With more items than visible rows: sets the scroll bar's range and steps, moves it
// to the list's position and shows `panel`; otherwise hides `panel`.
void SyncListScrollBar(int itemCount, int visibleRows, QWidget* panel, QListWidget* list, QScrollBar* bar);
// The scroll bar takes the list's position.
void ScrollBarFollowsList(QListWidget* list, QScrollBar* bar);
// The list scrolls to the bar's position once the current event is handled.
void ListFollowsScrollBar(QListWidget* list, QScrollBar* bar);
