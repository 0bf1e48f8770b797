#pragma once

#include "windows/editors/EditorWindow.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class TFBrowser;

// What the editors of the free-text reports share: a borderless window over the main
// window at (56, 86) with one background picture, one-line edits and memos laid over
// it, a click anywhere dismissing the hint, and the hand-over to the preview once the
// report is written. Each editor says what it requires and which routine writes it.
class FreeTextEditor : public EditorWindow
{
    Q_OBJECT

public:
    static constexpr int kLeftOffset = 46;
    static constexpr int kTopOffset = 86;

    using Clock = std::function<QDateTime()>;

    void SetPreviewWindow(TFBrowser* preview) { m_preview = preview; }
    // The time a report is written at; the local time unless a test fixes it.
    void SetClock(Clock clock) { m_clock = std::move(clock); }

    // The lines the user typed in `memo`, whatever the wrapping on screen; none for an
    // empty memo, and a line break at the very end starts no further line.
    static QStringList TypedLines(const QPlainTextEdit* memo);
    // Nothing but blanks and control characters, the way the required reports are
    // tested.
    static bool IsBlank(const QString& text);

protected:
    FreeTextEditor(const char* objectName, const QString& title, QSize size, int hintGroup,
                   TFBrowser* preview, QWidget* parent);

    // The background picture `picture` named `name`, filling `host` (the window or a
    // panel of it).
    QLabel* AddBackground(QWidget* host, const char* name, const QString& picture);
    QLineEdit* AddEdit(QWidget* host, const char* name, const QRect& place);
    QPlainTextEdit* AddMemo(QWidget* host, const char* name, const QRect& place);
    QComboBox* AddList(QWidget* host, const char* name, const QRect& place);
    // A hot-spot label that drops `list` down.
    QLabel* AddDropLabel(QWidget* host, const char* name, const QRect& place, QComboBox* list);
    // Typing in `memo` dismisses the hint too; emptying it while the editor is hidden
    // does not.
    void HideHintOnChange(QPlainTextEdit* memo);

    // A memo's text as typed, and put back.
    static QString MemoText(const QPlainTextEdit* memo);
    static void SetMemoText(QPlainTextEdit* memo, const QString& text);
    // Chooses `text` in `list`; false when the list has no such item.
    static bool ChooseItem(QComboBox* list, const QString& text);

    // The report was written: closes the editor and shows `pageFile` of the working
    // folder in the preview window.
    bool HandOver(const QString& pageFile);
    QDateTime Now() const { return m_clock(); }

private:
    TFBrowser* m_preview;
    Clock m_clock;
};
