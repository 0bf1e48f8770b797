#pragma once

#include <QString>

class QWidget;

// What a screen reader says about each control of the program's windows: a Polish name
// and, where it helps, a description. One table holds them all, by window and control
// name, so that a new control is named in one place.
namespace AccessibleNames {

struct Entry
{
    QString Name;
    QString Description;
};

// The entry of control `control` of window `form` (the windows' and controls' object
// names); empty when the table has none.
Entry Find(const QString& form, const QString& control);

// Gives every control of `window` and of the windows inside it or opened from it its
// name and description from the table. Controls already named keep their names.
void Apply(QWidget* window);

// The name of the window that `widget` belongs to in the table: the nearest enclosing
// window of the program, which may lie inside another (an editor over the main window).
QString FormOf(const QWidget* widget);

} // namespace AccessibleNames
