#pragma once

class QAccessibleInterface;
class QTextEdit;

// A text the user reads but does not write (the report's preview) is a document to a
// screen reader: its role says so, and its text can be read and moved through by
// character, word, line and sentence, with the caret and selection of the view.
// Qt itself offers such a view as a label whose text cannot be reached.
namespace DocumentAccessible {

// The accessible interface of the read-only `view`.
QAccessibleInterface* For(QTextEdit* view);

} // namespace DocumentAccessible
