#pragma once

#include <QString>

// Text from outside (names and reasons read from documents and mails) made safe to
// print on a terminal: control characters, DEL, the C1 controls and the bidirectional
// overrides are shown as \xNN or \u{NNNN} instead of being sent to the terminal, and
// a backslash is doubled so that the escape stays unambiguous.
QString TerminalSafe(const QString& text);
