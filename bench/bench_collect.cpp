// Time and peak memory of collecting a school year of handed-in reports: a network
// folder of 10 000 report documents and an exported mailbox of about 100 MB (mails
// with the reports attached, and mails with pictures instead), read, checked,
// resolved and written out as the summary's HTML and PDF and the CSV. Target: under
// 60 s and under 1 GB of peak memory. The collecting runs in a child process of its
// own, so that its peak memory is not that of making the input.
#include "collect/InputCollector.h"
#include "collect/ReportCollection.h"
#include "collect/ReportsCsv.h"
#include "collect/SummaryHtml.h"
#include "collect/SummaryPdf.h"
#include "files/SafeFile.h"
#include "document/ReportRoutines.h"
#include "protocol/MailMessage.h"
#include "core/AppState.h"
#include "core/KlasaFull.h"

#include <QGuiApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int kTeachers = 120;
constexpr int kMails = 4000;        // with a report each
constexpr int kOtherMails = 2600;   // without one, with a picture
constexpr int kFolderFiles = 10000; // reports in the network folder
constexpr double kTargetSeconds = 60;
constexpr double kTargetMegabytes = 1024;

// Three report documents written by the program's routines, a teacher's name in each
// to be replaced.
QList<QByteArray> templates(const QString& folder)
{
    AppState state;
    state.TempFolder = folder + u'/';
    state.TeacherName = QStringLiteral("Wzorzec Nauczyciel");
    state.MachineSignature = QStringLiteral("PC user OS");
    const QDateTime now(QDate(2026, 6, 19), QTime(9, 5, 3));
    QStringList pupils;
    for (int i = 0; i < 30; ++i)
        pupils << QStringLiteral("Nazwisko%1 Imię").arg(i);
    _KlasaFull sheet;
    sheet.LoadClassSheet(QStringLiteral("2a"), pupils);
    for (int i = 0; i < 30; ++i) {
        sheet.Rows[i].FullAttendance = i % 3 == 0;
        sheet.Rows[i].Average = i % 4 == 0 ? 480 + i : 0;
        if (i % 7 == 0) {
            sheet.Rows[i].FailSubjects = QStringLiteral("matematyka");
            sheet.Rows[i].FailJustification = QStringLiteral("Brak zaliczeń %1.&Nieobecności.&").arg(i);
        }
    }
    QList<QByteArray> docs;
    auto take = [&]() {
        QFile f(state.TempFolder + state.DocumentFileName + QStringLiteral(".xml"));
        docs.append(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
    };
    WriteWerdykonReport({QStringLiteral("2a"), QStringLiteral("30"), QStringLiteral("29")}, sheet, state,
                        now);
    take();
    WriteUzasadnienieReport({QStringLiteral("matematyka"), QStringLiteral("2a")}, sheet, state, now);
    take();
    QStringList lines;
    for (int i = 0; i < 40; ++i)
        lines << QStringLiteral("Wiersz %1 sprawozdania z realizacji programu, z dłuższym opisem zajęć.")
                     .arg(i);
    WriteRealProgramuReport({QStringLiteral("fizyka"), QStringLiteral("2a"), lines, lines}, state, now);
    take();
    return docs;
}

QByteArray variant(const QByteArray& doc, int n)
{
    QByteArray bytes = doc;
    bytes.replace("Wzorzec Nauczyciel", "Nauczyciel" + QByteArray::number(n % kTeachers) + " Jan");
    bytes.replace(">2a<", ">" + QByteArray::number((n / kTeachers) % 12) + "a<");
    bytes.replace("19.06.2026 g. 09:05:03",
                  QByteArray::number(10 + n % 18) + ".06.2026 g. 1" + QByteArray::number(n % 10) + ":00:00");
    return bytes;
}

void makeInput(const QString& dir)
{
    const QList<QByteArray> docs = templates(dir);
    QDir(dir).mkpath(QStringLiteral("siec"));
    for (int i = 0; i < kFolderFiles; ++i) {
        QFile f(QDir(dir).filePath(QStringLiteral("siec/r%1.xml").arg(i)));
        if (f.open(QIODevice::WriteOnly))
            f.write(variant(docs[i % 3], i));
    }
    QFile box(QDir(dir).filePath(QStringLiteral("poczta.mbox")));
    if (!box.open(QIODevice::WriteOnly))
        return;
    for (int i = 0; i < kMails + kOtherMails; ++i) {
        MailMessage m;
        m.SenderName = QStringLiteral("Nauczyciel %1").arg(i % kTeachers);
        m.SenderAddress = QStringLiteral("n@szkola.pl");
        m.Recipients = QStringLiteral("sekretariat@szkola.pl");
        m.Subject = QStringLiteral("Sprawozdanie");
        m.HtmlBody = QStringLiteral("Witam.\r\nOto moje sprawozdanie.");
        if (i < kMails) {
            m.AttachmentBytes = variant(docs[i % 3], i + kFolderFiles / 2);
            m.AttachmentName = QStringLiteral("Sprawozdanie_%1.xml").arg(i);
        } else {
            m.AttachmentBytes = QByteArray(24000, 'x');
            m.AttachmentName = QStringLiteral("zdjecie_%1.jpg").arg(i);
        }
        box.write("From n@szkola.pl Fri Jun 19 10:00:00 2026\n" + m.compose() + "\n");
    }
}

int collect(const QString& dir)
{
    QElapsedTimer timer;
    timer.start();
    ReportCollection reports;
    InputCollector collector(reports);
    QString error;
    if (!collector.addPath(QDir(dir).filePath(QStringLiteral("siec")), &error) ||
        !collector.addPath(QDir(dir).filePath(QStringLiteral("poczta.mbox")), &error))
        return 2;
    const double read = timer.nsecsElapsed() / 1e9;
    SummaryInput summary;
    summary.Reports = &reports;
    summary.Generated = QDateTime::currentDateTime();
    const QStringList parts = SummaryHtmlParts(summary);
    const QByteArray pdf = SummaryPdfBytes(parts, &error);
    const double printed = timer.nsecsElapsed() / 1e9;
    const QByteArray html = parts.join(QString()).toUtf8();
    const QByteArray csv = ReportsCsv::reports(reports);
    const QDir out(dir);
    if (pdf.isEmpty() || !SafeFile::Write(out.filePath(QStringLiteral("z.pdf")), pdf) ||
        !SafeFile::Write(out.filePath(QStringLiteral("z.html")), html) ||
        !SafeFile::Write(out.filePath(QStringLiteral("s.csv")), csv)) {
        std::printf("writing the outputs failed: %s\n", qPrintable(error));
        return 2;
    }
    std::printf("%lld documents (accepted %d, replaced %d, damaged %d), %d mails: read %.2f s, printed %.2f s, "
                "all written %.2f s; HTML %.1f MB, PDF %.1f MB, CSV %.1f MB\n",
                static_cast<long long>(reports.reports().size()), reports.count(ReportState::Accepted),
                reports.count(ReportState::Replaced), reports.count(ReportState::Damaged), collector.mailsRead(), read,
                printed, timer.nsecsElapsed() / 1e9, html.size() / 1048576.0, pdf.size() / 1048576.0,
                csv.size() / 1048576.0);
    std::fflush(stdout);
    return reports.count(ReportState::Damaged) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // the PDF needs fonts
    if (argc == 3 && qstrcmp(argv[1], "--collect") == 0)
        return collect(QString::fromLocal8Bit(argv[2]));

    QTemporaryDir temp;
    makeInput(temp.path());
    const qint64 mailbox = QFileInfo(QDir(temp.path()).filePath(QStringLiteral("poczta.mbox"))).size();
    std::printf("input: %d report files, mailbox of %d mails (%.1f MB)\n", kFolderFiles, kMails + kOtherMails,
                mailbox / 1048576.0);
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--collect"), temp.path()});
    if (!child.waitForFinished(1800000) || child.exitCode() != 0) {
        std::printf("collecting failed\n");
        return 1;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    rusage usage = {};
    getrusage(RUSAGE_CHILDREN, &usage);
    const double megabytes = usage.ru_maxrss / 1024.0;
    std::printf("collecting process: %.1f s, peak memory %.1f MB (children's peak, which includes this process "
                "as it was when it started the child); target under %.0f s and %.0f MB: %s\n",
                seconds, megabytes, kTargetSeconds, kTargetMegabytes,
                seconds < kTargetSeconds && megabytes < kTargetMegabytes ? "met" : "NOT met");
    return 0;
}
