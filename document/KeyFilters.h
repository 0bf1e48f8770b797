#pragma once

#include <QChar>

// Filters of the number fields, applied to each typed character before it reaches
// the field. They answer the character to insert, or QChar(0) to drop the key.

// Average field: Backspace, Enter, ",", "." and digits; "." becomes ",".
QChar DecimalKeyFilter(QChar key);

// Promoted count: Backspace, "." and digits; Enter and everything else are dropped.
QChar PlainNumberKeyFilter(QChar key);
