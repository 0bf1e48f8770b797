#include "editors/UInne.h"

#include "document/ReportRoutines.h"
#include "resources/skins/FreeTextLayout.h"
#include "shell/AppState.h"
#include "shell/Hints.h"
#include "shell/WindowParts.h"

#include <QLineEdit>
#include <QPlainTextEdit>

using namespace FreeTextLayout;

TFInne::TFInne(TFBrowser* preview, QWidget* parent)
    : FreeTextEditor("FInne", QStringLiteral("Inne sprawozdanie do protokołu"), kInneSize, HintGroupOther,
                     preview, parent)
{
    m_imRealizacja = AddBackground(this, "Imrealizacja", QStringLiteral("tloinne"));
    m_eDotyczy = AddEdit(this, "EDotyczy", kFirstWideLine);
    m_mInfo = AddMemo(this, "MInfo", kInneMemo);
    m_mInfo->setToolTip(QStringLiteral("Wpisz lub wklej tekst"));
}

void TFInne::FormShow()
{
    if (appState().NavigatingBack)
        return;
    m_eDotyczy->clear();
    m_mInfo->clear();
}

bool TFInne::FinishReport()
{
    // Any character counts as content here, a lone blank included.
    if (WindowParts::TypedText(m_mInfo).isEmpty() || m_eDotyczy->text().isEmpty())
        return Refuse(
            QStringLiteral("Wpisz konieczne informacje.\rUzupełnij trzy pierwsze pola formularza."));

    InneInput input;
    input.Concerns = m_eDotyczy->text();
    input.Info = TypedLines(m_mInfo);
    // The routine tells the user itself when a file cannot be written.
    if (!WriteInneReport(input, appState(), Now()))
        return false;
    return HandOver(kPreviewInne);
}
