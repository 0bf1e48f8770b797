#include "editors/PreviewHandOver.h"

#include "delivery/UBrowser.h"
#include "shell/AppState.h"
#include "shell/ReportEditor.h"

#include <QCoreApplication>

bool HandOverToPreview(ReportEditor& editor, TFBrowser* preview, const QString& pageFile)
{
    editor.CloseEditor();
    QCoreApplication::processEvents();
    if (preview) {
        preview->LoadPreview(appState().TempFolder + pageFile);
        preview->ShowStepWindow();
    }
    return true;
}
