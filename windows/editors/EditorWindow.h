#pragma once

#include "drafts/EditorInput.h"
#include "program/ReportEditor.h"

#include <QJsonObject>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QWidget>

#include <functional>
#include <optional>

class EditorDrafts;
class EntryDialog;
class QComboBox;
class QLabel;

// What every topic editor window shares: a borderless window over the main window at
// its fixed offset, its hint group named when shown, labels acting as buttons, a click
// anywhere dismissing the hint, combo boxes that the mouse wheel changes only when they
// have the focus, and its draft: offered when the editor opens afresh and kept a moment
// after each change while it is open.
class EditorWindow : public QWidget, public ReportEditor
{
    Q_OBJECT

public:
    void ShowEditor() override;
    void CloseEditor() override;
    bool HoldsInput() const override { return DraftInput().has_value(); }
    void KeepDraftNow() override;

Q_SIGNALS:
    // A click anywhere in the editor dismisses the main window's hint panel.
    void HideHint();

protected:
    EditorWindow(const char* objectName, const QString& title, QSize size, QPoint offset, int hintGroup,
                 QWidget* parent);

    // Called on every showing before the window appears; `NavigatingBack` says whether
    // its input stays.
    virtual void FormShow() = 0;
    // The editor's value as its draft keeps it; nothing when it holds no input.
    virtual std::optional<QJsonObject> DraftInput() const = 0;
    // Shows a draft's value again; false when it does not fit.
    virtual bool RestoreDraft(const QJsonObject& input) = 0;
    // The class or subject the input concerns, named when the draft is offered.
    virtual QString DraftAbout() const { return {}; }
    // A draft kept an entry dialog open for `context` (what RunEntryDialog was given)
    // with `typed` in it: the editor opens it again the same way.
    virtual void ReopenEntryDialog(const QJsonObject& /*context*/, const QJsonObject& /*typed*/) {}

    // Runs `dialog` modally; while it is open its text is part of the draft, with
    // `context` saying what it was opened for. `typed` (from a restored draft) fills
    // it instead of its usual start. True when it was confirmed.
    bool RunEntryDialog(EntryDialog* dialog, const QJsonObject& context, const QJsonObject& typed = {});
    // What changed in the school's data since the draft (pupils gone, pupils new),
    // told once the draft is restored.
    QString m_restoreNotice;

    // The input changed: the draft is written a moment later.
    void InputChanged();
    // The teacher starts anew: the draft so far is put aside among the discarded ones.
    void PutDraftAside();

    // An editor's value (see EditorInput.h) as its draft, nothing when it holds no
    // input; and a draft's value shown again by the editor's `show`.
    template <typename Edit> std::optional<QJsonObject> DraftOf(const Edit& edit) const
    {
        // While an entry dialog is open the editor's value goes with its text, for
        // the dialog to be opened again over it.
        if (!edit.HoldsInput() && !m_openDialog)
            return std::nullopt;
        return SaveInput(edit);
    }
    template <typename Editor, typename Edit>
    static bool Restore(const QJsonObject& input, Editor* editor, bool (Editor::*show)(const Edit&))
    {
        Edit edit;
        return LoadInput(input, &edit) && (editor->*show)(edit);
    }

    // A click on `label` runs `action`; what it changed goes into the draft.
    void OnClick(QLabel* label, std::function<void()> action);
    // A press on `watched` dismisses the hint.
    void WatchClicks(QObject* watched);
    // A drop-down list to choose from, choose only: a press on it dismisses the hint,
    // and the wheel changes it only while it has the focus.
    QComboBox* AddChoiceList(QWidget* host, const char* name, const QRect& place);
    // The required input is missing: tells the user and keeps the editor open.
    bool Refuse(const QString& message);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPoint m_offset;
    int m_hintGroup;
    EditorDrafts* m_drafts;
    EntryDialog* m_openDialog = nullptr;
    QJsonObject m_openContext;
    QList<QPair<QLabel*, std::function<void()>>> m_clicks;
    QList<QObject*> m_watched;
};

// The wheel rule on its own, for combo boxes of dialogs: the wheel changes `combo`
// only while it has the focus.
void KeepWheelOffUnfocused(QComboBox* combo);
