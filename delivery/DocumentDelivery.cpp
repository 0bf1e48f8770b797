#include "delivery/DocumentDelivery.h"

#include "delivery/ReportMail.h"
#include "shell/AppState.h"
#include "shell/Messages.h"
#include "shell/Progress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

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

const QString kSaved = QStringLiteral("Dokument został zapisany w pliku:\r%1");
const QString kMailMayHaveArrived =
    QStringLiteral("Serwer poczty nie potwierdził przyjęcia listu, ale list mógł już dotrzeć do szkoły.\r"
                   "Sprawdź to w szkole, zanim wyślesz go ponownie.");
const QString kMailNoEncryption =
    QStringLiteral("Serwer poczty nie oferuje szyfrowania, więc list\ri hasło nie zostały wysłane. Zapytaj administratora szkoły.");
const QString kMailUntrusted =
    QStringLiteral("Certyfikat serwera poczty nie jest zaufany,\rwięc list nie został wysłany. Zapytaj administratora szkoły.");
const QString kMailCancelled = QStringLiteral("Wysyłanie listu zostało przerwane.\rList nie został wysłany.");
const QString kMailTooLarge =
    QStringLiteral("Dokument jest za duży, by wysłać go pocztą (więcej niż %1 MB).\r"
                   "Zapisz go na dysku i dostarcz inną drogą.");

// Byte for byte, through a new file in the target's folder that is renamed over the
// target name only when whole. The rename replaces whatever stands under that name,
// a planted link included, and never writes through it; nothing lands outside the
// folder.
bool copyContents(const QString& source, const QString& target)
{
    const QFileInfo to(target);
    const QString name = to.fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    // Created anew (never opened through an existing name) and removed on any failure.
    QTemporaryFile out(QDir(to.absolutePath()).filePath(QStringLiteral(".tabulon-XXXXXX.tmp")));
    if (!out.open())
        return false;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (out.write(buffer, n) != n)
            return false;
    }
    if (!out.flush())
        return false;
#ifdef Q_OS_UNIX
    // A temporary file is private to its maker; the copy gets the permissions any
    // new file of the teacher gets, so that the school can read it.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(out.handle(), 0666 & ~mask) != 0 || ::fsync(out.handle()) != 0)
        return false;
#endif
    const QString temporary = out.fileName();
    out.close();
    std::error_code failed;
    std::filesystem::rename(temporary.toStdU16String(), target.toStdU16String(), failed);
    if (failed)
        return false; // the temporary file goes with `out`
    out.setAutoRemove(false);
    return true;
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
    if (CopyDocument(source, target)) {
        ShowMessage(KindNotice, IconInformation, kSaved.arg(QDir::toNativeSeparators(target)));
        return true;
    }
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

bool MailDocument(const QString& source, const QString& teacherName, int timeLimitSeconds)
{
    QString reason;
    MailOutcome outcome;
    {
        ProgressScope progress(QStringLiteral("Wysyłanie listu do szkoły"));
        const QString item = QFileInfo(source).fileName();
        const TransferControl control{timeLimitSeconds, [&](qint64 done, qint64 total) {
                                          return progress.report(item, done, total);
                                      }};
        outcome = SendReportMail(source, teacherName, &reason, control);
    }
    if (outcome != MailOutcome::Sent)
        std::fprintf(stderr, "%s\n", qPrintable(reason)); // for whoever looks after the school's account
    switch (outcome) {
    case MailOutcome::Sent:
        ShowMessage(KindNotice, IconInformation, kMailSent);
        return true;
    case MailOutcome::MayHaveArrived:
        ShowMessage(KindNotice, IconWarning, kMailMayHaveArrived);
        break;
    case MailOutcome::NoEncryption:
        ShowMessage(KindNotice, IconWarning, kMailNoEncryption);
        break;
    case MailOutcome::UntrustedCertificate:
        ShowMessage(KindNotice, IconWarning, kMailUntrusted);
        break;
    case MailOutcome::Cancelled:
        ShowMessage(KindNotice, IconInformation, kMailCancelled);
        break;
    case MailOutcome::AttachmentTooLarge:
        ShowMessage(KindNotice, IconWarning, kMailTooLarge.arg(MailMessage::kMaxAttachmentBytes >> 20));
        break;
    case MailOutcome::Failed:
        ShowMessage(KindNotice, IconInformation, kMailFailed);
        break;
    }
    return false;
}
