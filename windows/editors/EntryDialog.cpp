#include "windows/editors/EntryDialog.h"

#include "core/Messages.h"
#include "windows/parts/WindowParts.h"

#include <QLabel>

EntryDialog::EntryDialog(QWidget* parent, const char* objectName, const QString& title, QSize size)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    // FormCreate
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(title);
    setFixedSize(size);
    setModal(true);
}

QString EntryDialog::DropQuestion()
{
    return QStringLiteral("W tym oknie jest wpisany tekst, który nie trafił jeszcze do sprawozdania.\r"
                          "Porzucić go?");
}

void EntryDialog::SetButtons(QLabel* confirm, QLabel* cancel)
{
    m_confirm = confirm;
    m_cancel = cancel;
    confirm->installEventFilter(this);
    cancel->installEventFilter(this);
}

void EntryDialog::Confirm()
{
    m_confirmed = true;
    accept();
}

void EntryDialog::Abandon()
{
    m_confirmed = false;
    QDialog::reject();
}

void EntryDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_confirmed = false;
    FormShow();
    if (!m_preset.isEmpty()) {
        RestoreTypedState(m_preset);
        m_preset = {};
        // Brought back from a draft: all of it counts as typed.
        m_opened = {};
        Q_EMIT TypedChanged();
    } else {
        m_opened = TypedState();
    }
}

bool EntryDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_confirm && WindowParts::isLeftClick(event, m_confirm)) {
        LWprowadzClick();
        return true;
    }
    if (watched == m_cancel && WindowParts::isLeftClick(event, m_cancel)) {
        LAnulujClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void EntryDialog::reject()
{
    // Typed text goes only when the teacher says so; the default keeps the dialog open.
    if (isVisible() && TypedState() != m_opened) {
        const NamedAnswers answers{QStringLiteral("Porzuć tekst"), QStringLiteral("Wróć do tekstu"), AnswerNo};
        if (AskNamed(IconQuestion, DropQuestion(), answers) != AnswerYes)
            return;
    }
    Abandon();
}
