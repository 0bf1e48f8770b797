#include "delivery/MailHandOver.h"

#include "core/AppState.h"
#include "core/Messages.h"
#include "core/PlatformMail.h"
#include "delivery/ReportMail.h"

#include <QFileInfo>

namespace {

const QString kNoFile =
    QStringLiteral("Wystąpiły problemy z przygotowaniem listu.\rBrak pliku we wskazanym folderze.");
const QString kInstruction =
    QStringLiteral("Naciśnij \"Wyślij\", program zostanie zminimalizowany, a Ty pozwól "
                   "na wysłanie listu.\rPóźniej przywróć okno samodzielnie.");
const QString kHandOverFailed = QStringLiteral(
    "Wystąpiły problemy z przygotowaniem listu.\rZapisz plik i wyślij go klasycznie na adres szkoły - ");

} // namespace

void HandToMailProgram(const QString& path, const std::function<void()>& minimise,
                       const std::function<void()>& restore)
{
    const AppState& state = appState();
    const QString subject = ReportMailSubject(state.TeacherName);
    const QString body = ReportMailBody(state.TeacherName);

    if (!QFileInfo(path).isFile()) {
        ShowMessage(KindNotice, IconInformation, kNoFile);
        return;
    }
    if (ShowMessage(KindHandOver, IconInformation, kInstruction) != AnswerYes)
        return;

    if (minimise)
        minimise();
    const QString school = state.Settings.SchoolAddress;
    if (Platform::SendWithMailProgram(school, subject, body, path))
        return; // the user restores the program once the mail program is done
    if (restore)
        restore();
    ShowMessage(KindNotice, IconInformation, kHandOverFailed + school + QLatin1Char('.'));
}
