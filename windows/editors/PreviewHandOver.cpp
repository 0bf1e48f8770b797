#include "windows/editors/PreviewHandOver.h"

#include "core/AppState.h"
#include "core/Messages.h"
#include "program/ReportEditor.h"
#include "windows/delivery/UBrowser.h"

#include <QCoreApplication>

bool HandOverToPreview(ReportEditor& editor, TFBrowser* preview, const QString& pageFile)
{
    AppState& state = appState();
    // The archive keeps the report once it is delivered; until then its draft does.
    state.ReportPagePath = state.TempFolder + pageFile;
    state.ReportDelivered = false;

    editor.CloseEditor();
    QCoreApplication::processEvents();
    if (preview) {
        preview->LoadPreview(state.TempFolder + pageFile);
        preview->ShowStepWindow();
    }
    return true;
}
