#include "windows/editors/UInne.h"

#include "core/AppState.h"
#include "core/Hints.h"
#include "document/ReportRoutines.h"
#include "resources/skins/FreeTextLayout.h"
#include "windows/parts/WindowParts.h"

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

InneEdit TFInne::Edit() const
{
    InneEdit edit;
    edit.Concerns = m_eDotyczy->text();
    edit.Info = MemoText(m_mInfo);
    return edit;
}

bool TFInne::ShowEdit(const InneEdit& edit)
{
    m_eDotyczy->setText(edit.Concerns);
    SetMemoText(m_mInfo, edit.Info);
    return true;
}

bool TFInne::FinishReport()
{
    // Any character counts as content here, a lone blank included.
    if (WindowParts::TypedText(m_mInfo).isEmpty() || m_eDotyczy->text().isEmpty())
        return Refuse(
            QStringLiteral("Wpisz konieczne informacje.\rUzupełnij trzy pierwsze pola formularza."));

    const InneInput input = Edit().Report();
    // The routine tells the user itself when a file cannot be written.
    if (!WriteInneReport(input, appState(), Now()))
        return false;
    return HandOver(kPreviewInne);
}
