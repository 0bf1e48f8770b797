#include "editors/PreviewHandOver.h"

#include "delivery/ReportArchive.h"
#include "delivery/UBrowser.h"
#include "shell/AppState.h"
#include "shell/Messages.h"
#include "shell/ReportEditor.h"

#include <QCoreApplication>
#include <QDate>

namespace {

const QString kNotArchived = QStringLiteral("Nie udało się zachować kopii sprawozdania w archiwum programu "
                                            "(%1).\rDostarcz je do szkoły jeszcze dziś.");

} // namespace

bool HandOverToPreview(ReportEditor& editor, TFBrowser* preview, const QString& pageFile)
{
    AppState& state = appState();
    // The working folder is emptied at the next start: the archive keeps the report.
    const ReportArchive archive(state.DataFolder);
    QString kept;
    QString error;
    if (archive.IsUsable() &&
        !archive.Keep(state.TempFolder + state.DocumentFileName + QStringLiteral(".xml"),
                      state.TempFolder + pageFile, state.DocumentFileName, QDate::currentDate(), &kept,
                      &error))
        ShowMessage(KindNotice, IconWarning, kNotArchived.arg(error));
    state.ReportDelivered = false;

    editor.CloseEditor();
    QCoreApplication::processEvents();
    if (preview) {
        preview->LoadPreview(state.TempFolder + pageFile);
        preview->ShowStepWindow();
    }
    return true;
}
