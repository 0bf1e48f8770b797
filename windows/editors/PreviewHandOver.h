#pragma once

#include <QString>

class ReportEditor;
class TFBrowser;

// The last step of every editor once its report is written: the editor closes, the
// pending window messages are handled, and the preview window shows `pageFile` of the
// working folder. Returns true, as a finished report does.
bool HandOverToPreview(ReportEditor& editor, TFBrowser* preview, const QString& pageFile);
