#pragma once

#include <QString>

class QListWidget;
class QListWidgetItem;

// What was entered for a pupil, shown beside the name in a right-hand list (an
// average, failing subjects, a lowered grade), as the preview shows it. The entry's
// text stays the name, which the editors look the pupil up by; the detail is drawn
// after it in a quieter colour and read with it by screen readers.
namespace ListEntryDetail {

// Draws the details of `list`'s entries; called once per list.
void ShowDetails(QListWidget* list);

// Sets the detail of `item` (empty for none).
void Set(QListWidgetItem* item, const QString& detail);

// The detail of `item`.
QString Of(const QListWidgetItem* item);

} // namespace ListEntryDetail
