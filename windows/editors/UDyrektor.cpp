#include "windows/editors/UDyrektor.h"

#include "core/AppState.h"
#include "core/Hints.h"
#include "document/ReportRoutines.h"
#include "resources/skins/FreeTextLayout.h"
#include "windows/parts/WindowParts.h"

#include <QPlainTextEdit>

using namespace FreeTextLayout;

TFDyrektor::TFDyrektor(TFBrowser* preview, QWidget* parent)
    : FreeTextEditor("FDyrektor", QStringLiteral("Sprawozdanie dyrektora szkoły"), kFreeTextSize,
                     HintGroupHeadAndClass, preview, parent)
{
    m_imTlo = AddBackground(this, "ImTlo", QStringLiteral("tlodyrektor"));
    m_mDydaktyczna = AddMemo(this, "MDydaktyczna", kDyrektorTeaching);
    m_mNadzor = AddMemo(this, "MNadzor", kDyrektorSupervision);
}

void TFDyrektor::FormShow()
{
    if (appState().NavigatingBack)
        return;
    m_mDydaktyczna->clear();
    m_mNadzor->clear();
}

DyrektorEdit TFDyrektor::Edit() const
{
    DyrektorEdit edit;
    edit.Teaching = MemoText(m_mDydaktyczna);
    edit.Supervision = MemoText(m_mNadzor);
    return edit;
}

bool TFDyrektor::ShowEdit(const DyrektorEdit& edit)
{
    SetMemoText(m_mDydaktyczna, edit.Teaching);
    SetMemoText(m_mNadzor, edit.Supervision);
    return true;
}

bool TFDyrektor::FinishReport()
{
    // Any character counts as content here, a lone blank included.
    if (WindowParts::TypedText(m_mDydaktyczna).isEmpty())
        return Refuse(QStringLiteral("Niekompletne dane ogólne.\rUzupełnij proszę."));

    const DyrektorInput input = Edit().Report();
    // The routine tells the user itself when a file cannot be written.
    if (!WriteDyrektorReport(input, appState(), Now()))
        return false;
    return HandOver(kPreviewDyrektor);
}
