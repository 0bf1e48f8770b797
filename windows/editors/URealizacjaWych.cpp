#include "windows/editors/URealizacjaWych.h"

#include "core/AppState.h"
#include "core/Hints.h"
#include "document/ReportRoutines.h"
#include "resources/skins/FreeTextLayout.h"
#include "windows/parts/ListBoxHelpers.h"
#include "windows/parts/WindowParts.h"

#include <QComboBox>
#include <QPlainTextEdit>

using namespace FreeTextLayout;

TFRealWych::TFRealWych(TFBrowser* preview, QWidget* parent)
    : FreeTextEditor("FRealWych", QStringLiteral("Realizacja programu wychowawczego klasy"), kRealizationSize,
                     HintGroupHeadAndClass, preview, parent)
{
    m_pRealizacjaProgramu = WindowParts::makePanel(this, "PrealizacjaProgramu", rect());
    QWidget* panel = m_pRealizacjaProgramu;
    m_imRealizacja = AddBackground(panel, "Imrealizacja", QStringLiteral("tlorealwych"));

    m_cKlasa = AddList(panel, "CKlasa", kFirstList);
    m_cKlasa->setToolTip(QStringLiteral("Wybierz z listy, nawet gdy widzisz nazwę klasy"));
    m_lRozwinListe = AddDropLabel(panel, "LRozwinListe", kDropHotSpot, m_cKlasa);
    m_mOgolne = AddMemo(panel, "Mogolne", kWychGeneral);
    m_mOgolne->setToolTip(QStringLiteral("Wpisz lub wklej tekst"));
    m_mSukcesy = AddMemo(panel, "MSukcesy", kWychSuccesses);
    m_mSukcesy->setToolTip(QStringLiteral("Wpisz lub wklej tekst"));
    HideHintOnChange(m_mOgolne);
    HideHintOnChange(m_mSukcesy);

    connect(m_cKlasa, &QComboBox::activated, this, [this] { CKlasaChange(); });
}

void TFRealWych::FormShow()
{
    if (appState().NavigatingBack)
        return;
    m_mOgolne->clear();
    m_mSukcesy->clear();
    FillClassCombo(m_cKlasa);
    m_cKlasa->setCurrentIndex(appState().CurrentClassIndex);
}

void TFRealWych::CKlasaChange()
{
    m_mOgolne->setFocus();
}

RealWychEdit TFRealWych::Edit() const
{
    RealWychEdit edit;
    edit.ClassName = m_cKlasa->currentText();
    edit.General = MemoText(m_mOgolne);
    edit.Successes = MemoText(m_mSukcesy);
    return edit;
}

bool TFRealWych::ShowEdit(const RealWychEdit& edit)
{
    if (!ChooseItem(m_cKlasa, edit.ClassName))
        return false;
    SetMemoText(m_mOgolne, edit.General);
    SetMemoText(m_mSukcesy, edit.Successes);
    return true;
}

QString TFRealWych::DraftAbout() const
{
    return QStringLiteral("klasa ") + m_cKlasa->currentText();
}

bool TFRealWych::FinishReport()
{
    if (m_cKlasa->currentIndex() < 0 || IsBlank(WindowParts::TypedText(m_mOgolne)))
        return Refuse(
            QStringLiteral("Wpisz konieczne informacje.\rUzupełnij trzy pierwsze pola formularza."));

    const RealWychInput input = Edit().Report();
    // The routine tells the user itself when a file cannot be written.
    if (!WriteRealWychReport(input, appState(), Now()))
        return false;
    return HandOver(kPreviewRealWych);
}
