#include "windows/editors/UKarta.h"

#include "core/AppState.h"
#include "core/Hints.h"
#include "document/ReportRoutines.h"
#include "resources/skins/FreeTextLayout.h"
#include "windows/parts/WindowParts.h"

#include <QPlainTextEdit>

using namespace FreeTextLayout;

TFKarta::TFKarta(TFBrowser* preview, QWidget* parent)
    : FreeTextEditor("FKarta", QStringLiteral("Sprawozdanie z zajęć wynikających z karty"), kFreeTextSize,
                     HintGroupCharter, preview, parent)
{
    m_imRealizacja = AddBackground(this, "Imrealizacja", QStringLiteral("tlokarta"));
    m_mInfo = AddMemo(this, "MInfo", kKartaMemo);
    m_mInfo->setToolTip(QStringLiteral("Wpisz lub wklej tekst"));
}

void TFKarta::FormShow()
{
    if (appState().NavigatingBack)
        return;
    m_mInfo->clear();
}

KartaEdit TFKarta::Edit() const
{
    KartaEdit edit;
    edit.Info = MemoText(m_mInfo);
    return edit;
}

bool TFKarta::ShowEdit(const KartaEdit& edit)
{
    SetMemoText(m_mInfo, edit.Info);
    return true;
}

bool TFKarta::FinishReport()
{
    // Any character counts as content here, a lone blank included.
    if (WindowParts::TypedText(m_mInfo).isEmpty())
        return Refuse(QStringLiteral("Wpisz konieczne informacje."));

    const KartaInput input = Edit().Report();
    // The routine tells the user itself when a file cannot be written.
    if (!WriteKartaReport(input, appState(), Now()))
        return false;
    return HandOver(kPreviewKarta);
}
