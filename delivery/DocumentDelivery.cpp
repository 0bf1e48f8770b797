#include "delivery/DocumentDelivery.h"

#include "core/AppState.h"
#include "core/Messages.h"
#include "core/Progress.h"
#include "delivery/ReportMail.h"
#include "files/SafeFile.h"

#include <QDir>
#include <QFileInfo>

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

const QString kSaved = QStringLiteral("Dokument został zapisany w pliku:\r%1");
const QString kMailMayHaveArrived =
    QStringLiteral("Serwer poczty nie potwierdził przyjęcia listu, ale list mógł już dotrzeć do szkoły.\r"
                   "Sprawdź to w szkole, zanim wyślesz go ponownie.");
const QString kMailNoEncryption = QStringLiteral("Serwer poczty nie oferuje szyfrowania, więc list\ri hasło "
                                                 "nie zostały wysłane. Zapytaj administratora szkoły.");
const QString kMailUntrusted = QStringLiteral("Certyfikat serwera poczty nie jest zaufany,\rwięc list nie "
                                              "został wysłany. Zapytaj administratora szkoły.");
const QString kMailCancelled = QStringLiteral("Wysyłanie listu zostało przerwane.\rList nie został wysłany.");
const QString kMailTooLarge =
    QStringLiteral("Dokument jest za duży, by wysłać go pocztą (więcej niż %1 MB).\r"
                   "Zapisz go na dysku i dostarcz inną drogą.");

// Report files are small; a larger one is not a report.
constexpr qint64 kMaxDocumentBytes = 64 * 1024 * 1024;

const QString kCopyNoSpace = QStringLiteral("Wystąpił błąd przy przesyłaniu pliku: %1.\rZwolnij miejsce na "
                                            "dysku docelowym albo wybierz inny folder.");

// Copies and tells why not. Byte for byte, through a new file in the target's folder
// that is renamed over the target name only when whole (SafeFile::Copy): a link
// under that name is replaced, never written through; a link as the source is not
// read; nothing lands outside the folder.
FileResult copyDocument(const QString& source, const QString& target)
{
    const QFileInfo from(source);
    if (source.isEmpty() || !from.isFile()) {
        // Named by the file itself: a document chosen from disk already carries its
        // extension in its name.
        ShowMessage(KindNotice, IconWarning, kSourceMissing.arg(from.fileName()));
        return {FileFailure::Missing, {}};
    }
    const QFileInfo to(target);
    const QString name = to.fileName();
    if (target.isEmpty() || !to.isAbsolute() || !QFileInfo(to.absolutePath()).isDir() ||
        name == QLatin1String(".") || name == QLatin1String("..")) {
        ShowMessage(KindNotice, IconWarning, kFolderUnreachable);
        return {FileFailure::Missing, {}};
    }
    const FileResult copied = SafeFile::Copy(source, target, kMaxDocumentBytes);
    if (!copied)
        ShowMessage(KindNotice, IconWarning,
                    copied.failure == FileFailure::NoSpace ? kCopyNoSpace.arg(FileFailureText(copied))
                                                           : kCopyFailed);
    return copied;
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
    return copyDocument(source, target).ok();
}

bool SaveDocumentTo(const QString& source, const QString& target)
{
    const FileResult copied = copyDocument(source, target);
    if (copied) {
        ShowMessage(KindNotice, IconInformation, kSaved.arg(QDir::toNativeSeparators(target)));
        return true;
    }
    // A full disk has been told as such; the permissions hint would mislead.
    if (copied.failure != FileFailure::NoSpace)
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
        const TransferControl control{
            timeLimitSeconds, [&](qint64 done, qint64 total) { return progress.report(item, done, total); }};
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
