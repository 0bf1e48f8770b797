#include "delivery/DocumentDelivery.h"

#include "delivery/ReportMail.h"
#include "shell/AppState.h"
#include "shell/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace {

const QString kSourceMissing =
    QStringLiteral("Plik do przekopiowania %1 nie istnieje.\rPrawdopodobnie został usunięty.");
const QString kFolderUnreachable =
    QStringLiteral("Folder docelowy jest niedostępny.\rPrawdopodobnie komputer jest wyłączony.");
const QString kCopyFailed =
    QStringLiteral("Wystąpił błąd przy przesyłaniu pliku.\rProszę skontaktować się z administratorem.");
const QString kSaveFailed = QStringLiteral(
    "Wystąpiły problemy z zapisem pliku.\rPrawdopodobnie nie masz prawa do zapisu w tym folderze.");
const QString kHomeMode =
    QStringLiteral("Pracujesz w trybie domowym.\rNie możesz przesłać pliku przez sieć szkolną.");
const QString kNetworkCopyDone =
    QStringLiteral("Plik został przesłany w miejsce docelowe.\rDziękuję i życzę miłego dnia.");
const QString kNetworkCopyFailed = QStringLiteral("Proponuję zapisać dokument na dysku i spróbować przesłać "
                                                  "później ponownie.\rDaj znać o swych problemach adminowi.");
const QString kMailSent = QStringLiteral("List został pomyślnie wysłany.\rDziękuję i życzę miłego dnia.");
const QString kMailFailed = QStringLiteral(
    "Wystąpiły problemy z wysłaniem listu.\rZapisz dokument i spróbuj dostarczyć go inną drogą.");

// Byte for byte, through a file beside the target that replaces it only when whole.
bool copyContents(const QString& source, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0)
            return false; // QSaveFile drops its unfinished file
        if (n == 0)
            break;
        if (out.write(buffer, n) != n)
            return false;
    }
    return out.commit();
}

} // namespace

QString DeliverySource()
{
    const AppState& state = appState();
    if (state.SendExisting)
        return state.DocumentPath;
    return state.TempFolder + state.DocumentFileName + QStringLiteral(".xml");
}

QString NetworkCopyTarget()
{
    const AppState& state = appState();
    const QString folder = state.Settings.NetworkFolder;
    if (folder.isEmpty())
        return {};
    const QString name = state.SendExisting ? QFileInfo(state.DocumentPath).fileName()
                                            : state.DocumentFileName + QStringLiteral(".xml");
    return QDir(folder).filePath(name);
}

bool CopyDocument(const QString& source, const QString& target)
{
    const QFileInfo from(source);
    if (source.isEmpty() || !from.isFile()) {
        // Named by the file itself: a document chosen from disk already carries its
        // extension in its name.
        ShowMessage(KindNotice, IconWarning, kSourceMissing.arg(from.fileName()));
        return false;
    }
    const QFileInfo to(target);
    if (target.isEmpty() || !to.isAbsolute() || !QFileInfo(to.absolutePath()).isDir()) {
        ShowMessage(KindNotice, IconWarning, kFolderUnreachable);
        return false;
    }
    if (!copyContents(source, target)) {
        ShowMessage(KindNotice, IconWarning, kCopyFailed);
        return false;
    }
    return true;
}

bool SaveDocumentTo(const QString& source, const QString& target)
{
    if (CopyDocument(source, target))
        return true;
    ShowMessage(KindNotice, IconInformation, kSaveFailed);
    return false;
}

bool CopyToNetwork(const QString& source, const QString& target)
{
    if (appState().Settings.WorkMode != kWorkModeNetwork) {
        ShowMessage(KindNotice, IconInformation, kHomeMode);
        return false;
    }
    const bool copied = CopyDocument(source, target);
    ShowMessage(KindNotice, IconInformation, copied ? kNetworkCopyDone : kNetworkCopyFailed);
    return copied;
}

bool MailDocument(const QString& source, const QString& teacherName)
{
    QString reason;
    const bool sent = SendReportMail(source, teacherName, &reason);
    if (!sent)
        std::fprintf(stderr, "%s\n", qPrintable(reason)); // for whoever looks after the school's account
    ShowMessage(KindNotice, IconInformation, sent ? kMailSent : kMailFailed);
    return sent;
}
