#pragma once

#include <QDialog>
#include <QJsonObject>

class QLabel;

// What the four small entry dialogs of the editors share (average, failing subjects,
// failing-grade justification, lowered conduct grade): a borderless modal window over
// its editor, "Wprowadź" and "Anuluj" as picture buttons, the flag that tells the
// caller whether it was confirmed, and the teacher's typing. What is typed is part of
// the editor's draft while the dialog is open (TypedChanged), and closing it without
// confirming (Esc, "Anuluj", the window's close) asks first when something was typed.
class EntryDialog : public QDialog
{
    Q_OBJECT

public:
    // Whether the last showing ended confirmed.
    bool Confirmed() const { return m_confirmed; }

    // What the teacher has typed or chosen, as the draft keeps it, and back.
    virtual QJsonObject TypedState() const = 0;
    // Given before the dialog is shown: it opens with this instead of its usual start
    // (a draft restored after a crash).
    void PresetTypedState(const QJsonObject& state) { m_preset = state; }

    // The question asked before typed text is dropped, and its answers.
    static QString DropQuestion();

Q_SIGNALS:
    // Something was typed or chosen.
    void TypedChanged();

protected:
    EntryDialog(QWidget* parent, const char* objectName, const QString& title, QSize size);

    // The dialog's own start on every showing (place, focus, first value).
    virtual void FormShow() = 0;
    virtual void RestoreTypedState(const QJsonObject& state) = 0;
    // The confirm button: checks the input and calls Confirm() or tells what is wrong.
    virtual void LWprowadzClick() = 0;
    void LAnulujClick() { reject(); }

    // Clicks on these two labels run LWprowadzClick and LAnulujClick.
    void SetButtons(QLabel* confirm, QLabel* cancel);
    // Closes confirmed.
    void Confirm();
    // Closes unconfirmed without asking (nothing to store the input for).
    void Abandon();

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Every way of closing without confirming (the label, Esc, the window manager).
    void reject() override;

private:
    QLabel* m_confirm = nullptr;
    QLabel* m_cancel = nullptr;
    QJsonObject m_preset;
    // What the dialog held when it opened: typing is whatever differs from it.
    QJsonObject m_opened;
    bool m_confirmed = false;
};
