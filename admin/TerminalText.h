#pragma once

#include <QString>

// Text from data files as a terminal may show it: no character of it can move the
// cursor, clear the screen or start a new line. Control characters (C0, DEL, C1) and
// the Unicode line and paragraph separators become escapes: "\n", "\r", "\t", and
// "\xHH" or "\uHHHH" for the others.
QString TerminalText(const QString& text);

// The same, and "\" doubled, so that the escaped text reads back unambiguously: one
// value gives one line.
QString ReversibleTerminalText(const QString& text);
