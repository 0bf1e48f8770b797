#include "windows/editors/UZajDodatkowe.h"

#include "core/AppState.h"
#include "core/Hints.h"
#include "document/ReportRoutines.h"
#include "resources/skins/FreeTextLayout.h"
#include "windows/parts/WindowParts.h"

#include <QLineEdit>
#include <QPlainTextEdit>

using namespace FreeTextLayout;

TFZajDodatkowe::TFZajDodatkowe(TFBrowser* preview, QWidget* parent)
    : FreeTextEditor("FZajDodatkowe", QStringLiteral("Sprawozdanie z prowadzonych zajęć dodatkowych"),
                     kFreeTextSize, HintGroupAdditional, preview, parent)
{
    m_imRealizacja = AddBackground(this, "Imrealizacja", QStringLiteral("tlozajdodatkowe"));
    m_eZajecia = AddEdit(this, "EZajecia", kFirstWideLine);
    m_eZajecia->setToolTip(QStringLiteral("Np. Zespół korekcyjno-wyrównawczy w klasie VI"));
    m_mOgolne = AddMemo(this, "Mogolne", kMemoUnderLine);
    m_mOgolne->setToolTip(QStringLiteral("Wpisz lub wklej tekst"));
}

void TFZajDodatkowe::FormShow()
{
    if (appState().NavigatingBack)
        return;
    m_eZajecia->clear();
    m_mOgolne->clear();
}

ZajDodatkoweEdit TFZajDodatkowe::Edit() const
{
    ZajDodatkoweEdit edit;
    edit.Activity = m_eZajecia->text();
    edit.General = MemoText(m_mOgolne);
    return edit;
}

bool TFZajDodatkowe::ShowEdit(const ZajDodatkoweEdit& edit)
{
    m_eZajecia->setText(edit.Activity);
    SetMemoText(m_mOgolne, edit.General);
    return true;
}

bool TFZajDodatkowe::FinishReport()
{
    // Only the report is trimmed; the activity may be anything typed.
    if (m_eZajecia->text().isEmpty() || IsBlank(WindowParts::TypedText(m_mOgolne)))
        return Refuse(
            QStringLiteral("Wpisz konieczne informacje.\rUzupełnij trzy pierwsze pola formularza."));

    const ZajDodatkoweInput input = Edit().Report();
    // The routine tells the user itself when a file cannot be written.
    if (!WriteZajDodatkoweReport(input, appState(), Now()))
        return false;
    return HandOver(kPreviewZajDodatkowe);
}
