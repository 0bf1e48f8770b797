#pragma once

#include <QChar>
#include <QString>

// Filters of the number fields, applied to each typed character before it reaches
// the field. They answer the character to insert, or QChar(0) to drop the key.

// Average field: Backspace, Enter, ",", "." and digits; "." becomes ",".
QChar DecimalKeyFilter(QChar key);

// Promoted count: Backspace, "." and digits; Enter and everything else are dropped.
QChar PlainNumberKeyFilter(QChar key);

// Whether a key press types a character the filters judge. Keys that only move or
// delete (cursor keys, Delete, Tab) are left to the field, whatever text the
// platform attaches to them.
bool IsTypedCharacter(int key, const QString& text);
