#include "windows/parts/DocumentAccessible.h"

#include <QAccessibleWidget>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

class ReadOnlyDocument final : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit ReadOnlyDocument(QTextEdit* view) : QAccessibleWidget(view, QAccessible::Document) {}

    QTextEdit* view() const { return static_cast<QTextEdit*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    // Positions of the document are positions of its plain text: one per character,
    // a paragraph's end one line break.
    QString plain() const { return view()->document()->toPlainText(); }

    int characterCount() const override { return int(plain().size()); }

    QString text(int startOffset, int endOffset) const override
    {
        const QString all = plain();
        startOffset = qBound(0, startOffset, int(all.size()));
        endOffset = endOffset < 0 ? int(all.size()) : qBound(startOffset, endOffset, int(all.size()));
        return all.mid(startOffset, endOffset - startOffset);
    }

    QString text(QAccessible::Text t) const override { return QAccessibleWidget::text(t); }

    int selectionCount() const override { return view()->textCursor().hasSelection() ? 1 : 0; }

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        const QTextCursor cursor = view()->textCursor();
        if (selectionIndex != 0 || !cursor.hasSelection())
            return;
        *startOffset = cursor.selectionStart();
        *endOffset = cursor.selectionEnd();
    }

    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }

    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex != 0)
            return;
        QTextCursor cursor = view()->textCursor();
        cursor.clearSelection();
        view()->setTextCursor(cursor);
    }

    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex != 0)
            return;
        QTextCursor cursor(view()->document());
        cursor.setPosition(clamp(startOffset));
        cursor.setPosition(clamp(endOffset), QTextCursor::KeepAnchor);
        view()->setTextCursor(cursor);
    }

    int cursorPosition() const override { return view()->textCursor().position(); }

    void setCursorPosition(int position) override
    {
        QTextCursor cursor = view()->textCursor();
        cursor.setPosition(clamp(position));
        view()->setTextCursor(cursor);
    }

    QRect characterRect(int offset) const override
    {
        QTextCursor cursor(view()->document());
        cursor.setPosition(clamp(offset));
        QRect place = view()->cursorRect(cursor);
        const QString character = text(offset, offset + 1);
        place.setWidth(qMax(1, view()->fontMetrics().horizontalAdvance(character)));
        return QRect(view()->viewport()->mapToGlobal(place.topLeft()), place.size());
    }

    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint inside = view()->viewport()->mapFromGlobal(point);
        if (!view()->viewport()->rect().contains(inside))
            return -1;
        return view()->cursorForPosition(inside).position();
    }

    void scrollToSubstring(int startIndex, int endIndex) override
    {
        QTextCursor cursor(view()->document());
        cursor.setPosition(clamp(endIndex));
        view()->setTextCursor(cursor);
        view()->ensureCursorVisible();
        cursor.setPosition(clamp(startIndex));
        view()->setTextCursor(cursor);
        view()->ensureCursorVisible();
    }

    QString attributes(int offset, int* startOffset, int* endOffset) const override
    {
        // One run of plain text: the preview's look carries no meaning of its own.
        Q_UNUSED(offset);
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    int clamp(int offset) const { return qBound(0, offset, characterCount()); }
};

} // namespace

namespace DocumentAccessible {

QAccessibleInterface* For(QTextEdit* view)
{
    return new ReadOnlyDocument(view);
}

} // namespace DocumentAccessible
