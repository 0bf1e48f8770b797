#include "editors/UNaganneEdycja.h"

#include "editors/EditorWindow.h"
#include "resources/SkinOnShow.h"
#include "resources/skins/ZachowanieLayout.h"
#include "shell/AppState.h"
#include "shell/Messages.h"
#include "shell/TextForm.h"
#include "shell/WindowParts.h"

#include <QComboBox>
#include <QPlainTextEdit>

using namespace WindowParts;
using namespace ZachowanieLayout;

TFEdytujZachowanie::TFEdytujZachowanie(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    // FormCreate
    setObjectName(QStringLiteral("FEdytujZachowanie"));
    setWindowTitle(QStringLiteral("Obniżona ocena z zachowania"));
    setFixedSize(kDialogWidth, kDialogHeight);
    setModal(true);

    m_imTlo = makeLabel(this, "ImTlo", QRect(0, 0, kDialogWidth, kDialogHeight));
    SetSkin(m_imTlo, QStringLiteral("tloedytujzachowanie"));
    m_lOsoby = makeLabel(this, "LOsoby", kDialogPupils);
    m_lOsoby->setTextFormat(Qt::PlainText); // pupils' names as the school wrote them
    m_cOcena = new QComboBox(this);
    m_cOcena->setObjectName(QStringLiteral("COcena"));
    m_cOcena->setGeometry(kDialogGrade);
    m_cOcena->setEditable(false);
    m_cOcena->addItems({QStringLiteral("nieodpowiednia"), QStringLiteral("naganna")});
    KeepWheelOffUnfocused(m_cOcena);
    m_lRozwinListe = makeButtonLabel(this, "LRozwinListe", kDialogGradeDrop);
    m_mUzasadnienie = new QPlainTextEdit(this);
    m_mUzasadnienie->setObjectName(QStringLiteral("MUzasadnienie"));
    m_mUzasadnienie->setGeometry(kDialogText);
    m_mUzasadnienie->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_mUzasadnienie->setTabChangesFocus(true);
    m_lWprowadz = makeButtonLabel(this, "LWprowadz", kDialogConfirm);
    m_lAnuluj = makeButtonLabel(this, "LAnuluj", kDialogCancel);

    for (QLabel* label : {m_lRozwinListe, m_lWprowadz, m_lAnuluj})
        label->installEventFilter(this);
    connect(m_cOcena, &QComboBox::activated, this, [this] { COcenaChange(); });
}

void TFEdytujZachowanie::SetPupils(const QString& caption)
{
    m_lOsoby->setText(caption);
}

void TFEdytujZachowanie::SetText(const QStringList& lines)
{
    m_mUzasadnienie->setPlainText(lines.join(QLatin1Char('\n')));
}

void TFEdytujZachowanie::SetGrade(const QString& grade)
{
    const int index = m_cOcena->findText(grade, Qt::MatchFixedString); // letter case ignored
    m_cOcena->setCurrentIndex(index >= 0 ? index : 0);
}

QStringList TFEdytujZachowanie::TypedLines() const
{
    return MemoLines(TypedText(m_mUzasadnienie));
}

void TFEdytujZachowanie::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFEdytujZachowanie::FormShow()
{
    if (QWidget* parent = parentWidget())
        move(parent->window()->mapToGlobal(QPoint(kLeftOffset, kTopOffset)));
    m_mUzasadnienie->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_mUzasadnienie->setFocus();
}

void TFEdytujZachowanie::COcenaChange()
{
    m_mUzasadnienie->setFocus();
}

void TFEdytujZachowanie::LRozwinListeClick()
{
    m_cOcena->showPopup();
}

void TFEdytujZachowanie::LWprowadzClick()
{
    if (TypedText(m_mUzasadnienie).isEmpty()) {
        ShowMessage(KindNotice, IconWarning,
                    QStringLiteral("Brak uzasadnienia oceny.\rNapisz uzasadnienie lub wybierz \"Anuluj\"."));
        return;
    }
    m_confirmed = true;
    m_mUzasadnienie->setLineWrapMode(QPlainTextEdit::NoWrap);
    appState().ChosenConductGrade = m_cOcena->currentText();
    accept();
}

void TFEdytujZachowanie::LAnulujClick()
{
    reject();
}

// Every way of closing without confirming (the label, Esc, the window manager)
// leaves the flag clear.
void TFEdytujZachowanie::reject()
{
    m_confirmed = false;
    QDialog::reject();
}

bool TFEdytujZachowanie::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_lRozwinListe && isLeftClick(event, m_lRozwinListe)) {
        LRozwinListeClick();
        return true;
    }
    if (watched == m_lWprowadz && isLeftClick(event, m_lWprowadz)) {
        LWprowadzClick();
        return true;
    }
    if (watched == m_lAnuluj && isLeftClick(event, m_lAnuluj)) {
        LAnulujClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
