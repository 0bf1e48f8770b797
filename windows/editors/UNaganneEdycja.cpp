#include "windows/editors/UNaganneEdycja.h"

#include "core/AppState.h"
#include "core/Messages.h"
#include "core/TextForm.h"
#include "resources/skins/ZachowanieLayout.h"
#include "windows/editors/EditorWindow.h"
#include "windows/parts/SkinOnShow.h"
#include "windows/parts/WindowParts.h"

#include <QComboBox>
#include <QPlainTextEdit>

using namespace WindowParts;
using namespace ZachowanieLayout;

TFEdytujZachowanie::TFEdytujZachowanie(QWidget* parent)
    : EntryDialog(parent, "FEdytujZachowanie", QStringLiteral("Obniżona ocena z zachowania"),
                  QSize(kDialogWidth, kDialogHeight))
{
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

    m_lRozwinListe->installEventFilter(this);
    SetButtons(m_lWprowadz, m_lAnuluj);
    connect(m_cOcena, &QComboBox::activated, this, [this] { COcenaChange(); });
    connect(m_cOcena, &QComboBox::currentIndexChanged, this, &EntryDialog::TypedChanged);
    connect(m_mUzasadnienie, &QPlainTextEdit::textChanged, this, &EntryDialog::TypedChanged);
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

QJsonObject TFEdytujZachowanie::TypedState() const
{
    return {{QStringLiteral("tekst"), TypedText(m_mUzasadnienie)},
            {QStringLiteral("ocena"), m_cOcena->currentText()}};
}

void TFEdytujZachowanie::RestoreTypedState(const QJsonObject& state)
{
    SetGrade(state.value(QStringLiteral("ocena")).toString());
    m_mUzasadnienie->setPlainText(state.value(QStringLiteral("tekst")).toString());
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
    m_mUzasadnienie->setLineWrapMode(QPlainTextEdit::NoWrap);
    appState().ChosenConductGrade = m_cOcena->currentText();
    Confirm();
}

bool TFEdytujZachowanie::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_lRozwinListe && isLeftClick(event, m_lRozwinListe)) {
        LRozwinListeClick();
        return true;
    }
    return EntryDialog::eventFilter(watched, event);
}
