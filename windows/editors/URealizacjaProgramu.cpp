#include "windows/editors/URealizacjaProgramu.h"

#include "core/AppState.h"
#include "core/Hints.h"
#include "document/ReportRoutines.h"
#include "resources/skins/FreeTextLayout.h"
#include "windows/parts/WindowParts.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace FreeTextLayout;

TFRealProgramu::TFRealProgramu(TFBrowser* preview, QWidget* parent)
    : FreeTextEditor("FRealProgramu", QStringLiteral("Realizacja programu z przedmiotu nauczania"),
                     kRealizationSize, HintGroupCurriculum, preview, parent)
{
    m_pRealizacjaProgramu = WindowParts::makePanel(this, "PrealizacjaProgramu", rect());
    QWidget* panel = m_pRealizacjaProgramu;
    m_imRealizacja = AddBackground(panel, "Imrealizacja", QStringLiteral("tlorealprogramu"));

    m_cPrzedmiotNauczania = AddList(panel, "CPrzedmiotNauczania", kFirstList);
    m_cPrzedmiotNauczania->setToolTip(QStringLiteral("Wybierz z listy, nawet gdy widzisz nazwę przedmiotu"));
    m_lRozwinListe = AddDropLabel(panel, "LRozwinListe", kDropHotSpot, m_cPrzedmiotNauczania);
    m_eKlasy = AddEdit(panel, "EKlasy", kSecondLine);
    m_eKlasy->setToolTip(QStringLiteral("Przykłady: \r\n    V  \r\n    IG-IIIG  \r\n    VI, IG"));
    m_mOgolne = AddMemo(panel, "Mogolne", kProgramuGeneral);
    m_mOgolne->setToolTip(QStringLiteral("Wpisz lub wklej tekst"));
    m_mSukcesy = AddMemo(panel, "MSukcesy", kProgramuSuccesses);
    m_mSukcesy->setToolTip(QStringLiteral("Wpisz lub wklej tekst"));
    HideHintOnChange(m_mOgolne);
    HideHintOnChange(m_mSukcesy);

    connect(m_cPrzedmiotNauczania, &QComboBox::activated, this, [this] { CPrzedmiotNauczaniaChange(); });
}

void TFRealProgramu::FormShow()
{
    if (appState().NavigatingBack)
        return;
    // The subject and the classes stay: the main window empties them with a new
    // teacher or topic.
    m_mOgolne->clear();
    m_mSukcesy->clear();
}

void TFRealProgramu::CPrzedmiotNauczaniaChange()
{
    m_mOgolne->setFocus();
}

void TFRealProgramu::SchoolDataLoaded()
{
    m_cPrzedmiotNauczania->clear();
    m_cPrzedmiotNauczania->addItems(appState().SubjectNames);
    if (m_cPrzedmiotNauczania->count() > 0)
        m_cPrzedmiotNauczania->setCurrentIndex(0);
}

void TFRealProgramu::ClearEditorInputs()
{
    m_mOgolne->clear();
    m_mSukcesy->clear();
    m_eKlasy->clear();
}

RealProgramuEdit TFRealProgramu::Edit() const
{
    RealProgramuEdit edit;
    edit.Subject = m_cPrzedmiotNauczania->currentText();
    edit.Classes = m_eKlasy->text();
    edit.General = MemoText(m_mOgolne);
    edit.Successes = MemoText(m_mSukcesy);
    return edit;
}

bool TFRealProgramu::ShowEdit(const RealProgramuEdit& edit)
{
    if (!ChooseItem(m_cPrzedmiotNauczania, edit.Subject))
        return false;
    m_eKlasy->setText(edit.Classes);
    SetMemoText(m_mOgolne, edit.General);
    SetMemoText(m_mSukcesy, edit.Successes);
    return true;
}

QString TFRealProgramu::DraftAbout() const
{
    return QStringLiteral("przedmiot ") + m_cPrzedmiotNauczania->currentText();
}

bool TFRealProgramu::FinishReport()
{
    // The classes line is free text: a lone blank is enough.
    if (m_cPrzedmiotNauczania->currentIndex() < 0 || m_eKlasy->text().isEmpty() ||
        IsBlank(WindowParts::TypedText(m_mOgolne)))
        return Refuse(
            QStringLiteral("Wpisz konieczne informacje.\rUzupełnij trzy pierwsze pola formularza."));

    const RealProgramuInput input = Edit().Report();
    // The routine tells the user itself when a file cannot be written.
    if (!WriteRealProgramuReport(input, appState(), Now()))
        return false;
    return HandOver(kPreviewRealProgramu);
}
