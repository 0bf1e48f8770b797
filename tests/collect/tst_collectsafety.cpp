// The collecting side against hostile input: mailboxes and documents built to exhaust
// memory or hide reports, outputs aimed at links and at the inputs, a summary too long
// for one printed layout, and documents made to forge a replacement. The command runs
// as its own process, as the school runs it, with its peak memory measured.

#include "collect/MailboxSplitter.h"
#include "encoding/TextCodec.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gmime/gmime.h>

#include <sys/stat.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

namespace {

using TestFiles::readFile;
using TestFiles::writeFile;

struct ChildRun
{
    int exitCode = -1;
    QString err;
    qint64 peakKb = 0; // resident memory at its highest
};

// Runs tabulon-admin with `args` as a grandchild and tells its peak resident memory.
// Linux carries a process's peak across fork and exec, so the program is started by
// a small launcher (Python) rather than by this large test process: the launcher
// forks it, waits for it with wait4 and prints what wait4 tells. Outside
// AddressSanitizer the program also gets an address-space limit (RLIMIT_AS) of
// `limitMb`, so that running past it ends the run; AddressSanitizer reserves
// terabytes of address space up front, so there only the measured peak can be held
// against the ceiling. Run as root, the program drops to nobody, so that a folder
// without permissions is unreadable to it.
ChildRun runChild(const QStringList& args, const QString& errFile, qint64 limitMb,
                  const QStringList& environment = {})
{
    static const char* const launcher = R"(
import os, resource, sys
limit, err, program = int(sys.argv[1]), sys.argv[2], sys.argv[3]
pid = os.fork()
if pid == 0:
    fd = os.open(err, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o666)
    null = os.open('/dev/null', os.O_RDWR)
    os.dup2(null, 0); os.dup2(null, 1); os.dup2(fd, 2)
    if limit > 0:
        resource.setrlimit(resource.RLIMIT_AS, (limit << 20, limit << 20))
    if os.geteuid() == 0:
        os.setgroups([]); os.setgid(65534); os.setuid(65534)
    os.execv(program, [program] + sys.argv[4:])
_, status, usage = os.wait4(pid, 0)
print(os.waitstatus_to_exitcode(status), usage.ru_maxrss)
)";
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A quarantine of freed memory would count as peak memory of the program.
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=1:abort_on_error=0:quarantine_size_mb=4"));
    for (const QString& e : environment)
        env.insert(e.section(u'=', 0, 0), e.section(u'=', 1));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("python3"),
                  QStringList{QStringLiteral("-c"), QString::fromUtf8(launcher),
                              QString::number(kAddressSanitizer ? 0 : limitMb), errFile,
                              TestPaths::binaryDir() + QStringLiteral("/bin/tabulon-admin"),
                              QStringLiteral("collect")} +
                      args);
    ChildRun run;
    if (!process.waitForFinished(600000))
        return run;
    const QStringList answer = QString::fromUtf8(process.readAllStandardOutput()).simplified().split(u' ');
    if (answer.size() != 2)
        return run;
    run.exitCode = answer.at(0).toInt();
    run.peakKb = answer.at(1).toLongLong();
    run.err = QString::fromUtf8(readFile(errFile));
    return run;
}

// A folder the child (possibly nobody) can read and write.
void openUp(const QString& path)
{
    ::chmod(QFile::encodeName(path).constData(), 0777);
}

QByteArray document(const QString& title, const QString& teacher, const QString& body, const QString& date)
{
    return TextCodec::toCp1250(QStringLiteral("<?xml version=\"1.0\"  encoding=\"Windows-1250\"?>\r\n<Szkola>\r\n"
                                              "\t<Doc>%1</Doc>\r\n\t<Belfer>%2</Belfer>\r\n%3"
                                              "\t<User>PC</User>\r\n\t<Date>%4</Date>\r\n</Szkola>\r\n")
                                   .arg(title, teacher, body, date));
}

QString programmeBody(const QString& cls, const QStringList& lines)
{
    QString body = QStringLiteral("\t<Klasa>%1</Klasa>\r\n\t<Ogolne>\r\n\t\t<IloscWierszy>%2</IloscWierszy>\r\n")
                       .arg(cls)
                       .arg(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        body += QStringLiteral("\t\t<w%1>%2</w%1>\r\n").arg(i).arg(lines.at(i).toHtmlEscaped());
    return body + QStringLiteral("\t</Ogolne>\r\n\t<Sukcesy>\r\n\t\t<IloscWierszy>0</IloscWierszy>\r\n\t</Sukcesy>\r\n");
}

QByteArray programme(const QString& teacher, const QString& cls, const QString& date = QStringLiteral("12.06.2026 g. 10:00:00"))
{
    return document(QStringLiteral("Realizacja programu wychowawczego"), teacher,
                    programmeBody(cls, {QStringLiteral("Plan.")}), date);
}

QByteArray attachmentPart(const QString& name, const QByteArray& doc)
{
    return "--b\nContent-Type: text/xml\nContent-Transfer-Encoding: base64\nContent-Disposition: attachment; "
           "filename=\"" + name.toUtf8() + "\"\n\n" + doc.toBase64() + "\n";
}

QByteArray mail(const QByteArray& parts)
{
    return "From: n@szkola.pl\nSubject: Sprawozdanie\nMIME-Version: 1.0\n"
           "Content-Type: multipart/mixed; boundary=\"b\"\n\n" + parts + "--b--\n";
}

QByteArray reportMail(const QString& name, const QByteArray& doc)
{
    return mail(attachmentPart(name, doc));
}

QByteArray fromLine()
{
    return "From n@szkola.pl Fri Jun 12 10:00:00 2026\n";
}

// The rows of the command's CSV: plik;nauczyciel;temat;klasa;przedmiot;data;stan;powód.
QList<QStringList> csvRows(const QByteArray& csv)
{
    QList<QStringList> rows;
    const QString text = QString::fromUtf8(csv.mid(3));
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u';') {
            row.append(field);
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            row.append(field);
            field.clear();
            rows.append(row);
            row.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (!rows.isEmpty())
        rows.removeFirst(); // the heading
    return rows;
}

// One expected row: where it was read (relative to the input folder), its state, a
// part of its reason, and (when given) the teacher as read.
using Files = QList<std::pair<QString, QByteArray>>;

struct Row
{
    QString source;
    QString state;
    QString reason;
    QString teacher;
};

// Every offset at which GMime's own mbox reader begins a mail; `whole` is false when
// it gave up at a mail it could not read (it reads no further).
QList<qint64> gmimeMarkers(const QByteArray& mbox, bool* whole)
{
    static const bool ready = [] {
        g_mime_init();
        return true;
    }();
    Q_UNUSED(ready);
    QList<qint64> markers;
    *whole = true;
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(mbox.constData(), static_cast<size_t>(mbox.size()));
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    g_mime_parser_set_format(parser, GMIME_FORMAT_MBOX);
    while (!g_mime_parser_eos(parser)) {
        GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
        if (!message) {
            *whole = false;
            break;
        }
        markers.append(g_mime_parser_get_mbox_marker_offset(parser));
        g_object_unref(message);
    }
    g_object_unref(parser);
    g_object_unref(stream);
    return markers;
}

QList<qint64> splitterMarkers(const QByteArray& mbox, qsizetype chunk)
{
    QList<qint64> markers;
    MailboxSplitter splitter(true);
    splitter.mailDone = [&](const MailboxSplitter::Mail& m) { markers.append(m.Marker); };
    for (qsizetype at = 0; at < mbox.size(); at += chunk)
        splitter.feed(mbox.constData() + at, std::min(chunk, mbox.size() - at));
    splitter.finish();
    return markers;
}

} // namespace

class TestCollectSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The mailbox is cut into mails where GMime's mbox reader cuts it, whatever the
    // lines around a "From " line, however the file arrives in chunks.
    void mailboxSplitMatchesGMime()
    {
        QList<QByteArray> cases{
            "From a\nSubject: one\n\nbody\nFrom b\nSubject: two\n\nbody2\n",
            "From a\nSubject: one\nFrom b\nSubject: two\n\nbody2\n", // inside a header
            "junk\nmore junk\nFrom a\nSubject: one\n\nx\n",
            "From a\nContent-Type: message/rfc822\n\nFrom b\nSubject: inner\n\nbody\nFrom c\n\nz\n",
            "From a\nFrom b\nSubject: two\n\nbody2\n",
            "From a\n\n>From b\nFromage\nFrom\nFROM x\nFrom c\r\nSubject: three\n\nz",
            "From a\r\nSubject: one\r\n\r\nb\r\nFrom b\r\n\r\nq\rFrom y\n",
            "From a\n\n" + QByteArray(10000, 'x') + "\nFrom b\n\n" + QByteArray(5000, 'y') + "From c\n",
            "From a\nSubject: " + QByteArray(20000, 'h') + "\nFrom b\n",
            "no mailbox here\n",
            "",
        };
        // And mailboxes of random lines from what matters to the split.
        QRandomGenerator random(24);
        const QList<QByteArray> pieces{"From ", "From x", "From", "\n", "\r\n", "\r", "Subject: a", "--b",
                                       ">From ", " From ", "x", "\nFrom y\n"};
        for (int n = 0; n < 300; ++n) {
            QByteArray mbox = n % 2 ? "From first\n" : "";
            const int count = static_cast<int>(random.bounded(40));
            for (int i = 0; i < count; ++i)
                mbox += pieces.at(static_cast<int>(random.bounded(pieces.size())));
            cases.append(mbox);
        }
        int split = 0;
        for (const QByteArray& mbox : std::as_const(cases)) {
            bool whole = true;
            const QList<qint64> expected = gmimeMarkers(mbox, &whole);
            split += static_cast<int>(expected.size());
            for (qsizetype chunk : {qsizetype(1), qsizetype(7), qsizetype(1 << 20)}) {
                // Where GMime gives up on a mail, the split goes on (that mail is
                // damaged, the rest is read); up to there it is the same.
                const QList<qint64> got = splitterMarkers(mbox, chunk);
                QVERIFY2(whole ? got == expected : got.size() >= expected.size() && got.first(expected.size()) == expected,
                         mbox.left(300).toPercentEncoding().constData());
            }
        }
        qInfo("%d mails split", split);
        QVERIFY(split > 300);
    }

    void hostileMailboxesAndDocuments_data()
    {
        QTest::addColumn<Files>("files");
        QTest::addColumn<QList<Row>>("rows");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("ceilingMb");
        const QByteArray goodA = reportMail(QStringLiteral("a.xml"), programme(QStringLiteral("Lis Adam"), QStringLiteral("1a")));
        const QByteArray goodB = reportMail(QStringLiteral("b.xml"), programme(QStringLiteral("Bąk Ewa"), QStringLiteral("2a")));
        const QString accepted = QStringLiteral("przyjęty");
        const QString damaged = QStringLiteral("uszkodzony");

        // 4 MB of empty MIME parts: GMime alone takes about 800 MB for them.
        QByteArray flood;
        for (int i = 0; i < 800000; ++i)
            flood += "--b\n\n";
        QTest::newRow("empty MIME parts between two reports")
            << Files{{QStringLiteral("skrzynka.mbox"),
                                                      fromLine() + goodA + fromLine() + mail(flood) + fromLine() + goodB}}
            << QList<Row>{{QStringLiteral("skrzynka.mbox#1: a.xml"), accepted, {}, QStringLiteral("Lis Adam")},
                          {QStringLiteral("skrzynka.mbox#2"), damaged, QStringLiteral("granic części MIME"), {}},
                          {QStringLiteral("skrzynka.mbox#3: b.xml"), accepted, {}, QStringLiteral("Bąk Ewa")}}
            << 1 << 100;

        QByteArray parts;
        for (int i = 0; i < 2000; ++i)
            parts += "--b\n\nx\n";
        QTest::newRow("more parts than a mail may have")
            << Files{{QStringLiteral("czesci.eml"), mail(parts)},
                                                      {QStringLiteral("dobry.eml"), goodA}}
            << QList<Row>{{QStringLiteral("czesci.eml"), damaged, QStringLiteral("ponad 1000 części MIME"), {}},
                          {QStringLiteral("dobry.eml: a.xml"), accepted, {}, {}}}
            << 1 << 100;

        // A "From " line in a body begins a mail for GMime: a 100 MB header behind it.
        const QByteArray bigHeader = "From x@y.pl\nSubject: s\n\nTekst.\nFrom y@y.pl\nX-Wielki: " +
                                     QByteArray(60 * 1024 * 1024, 'a') + "\n\nx\n";
        QTest::newRow("huge header behind a From line in a body")
            << Files{{QStringLiteral("poczta"), fromLine() + goodA + bigHeader +
                                                                                    fromLine() + goodB}}
            << QList<Row>{{QStringLiteral("poczta#1: a.xml"), accepted, {}, {}},
                          {QStringLiteral("poczta#3"), damaged, QStringLiteral("nagłówki listu mają razem ponad 1 MB"), {}},
                          {QStringLiteral("poczta#4: b.xml"), accepted, {}, {}}}
            << 1 << 100;

        QByteArray nested = goodA;
        for (int i = 0; i < 40; ++i)
            nested = "From: f@szkola.pl\nSubject: Fwd\nMIME-Version: 1.0\nContent-Type: message/rfc822\n\n" + nested;
        QTest::newRow("mail forwarded forty times")
            << Files{{QStringLiteral("fwd.eml"), nested}}
            << QList<Row>{{QStringLiteral("fwd.eml"), damaged, QStringLiteral("zagnieżdżone głębiej niż 16"), {}}}
            << 1 << 100;

        QByteArray many;
        QList<Row> manyRows;
        for (int i = 1; i <= 150; ++i) {
            const QString name = QStringLiteral("r%1.xml").arg(i, 3, 10, QLatin1Char('0'));
            many += attachmentPart(name, programme(QStringLiteral("Nauczyciel %1").arg(i), QStringLiteral("1a")));
            manyRows.append({QStringLiteral("wiele.eml: ") + name, accepted, {}, QStringLiteral("Nauczyciel %1").arg(i)});
        }
        QTest::newRow("a hundred and fifty attachments")
            << Files{{QStringLiteral("wiele.eml"), mail(many)}} << manyRows << 0 << 100;

        const QString polish = QStringLiteral("Świątek Łucja");
        const QByteArray utf8Doc = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Szkola><Doc>Realizacja "
                                                  "programu wychowawczego</Doc><Belfer>%1</Belfer>%2<User>PC</User>"
                                                  "<Date>12.06.2026 g. 10:00:00</Date></Szkola>\r\n")
                                       .arg(polish, programmeBody(QStringLiteral("3c"), {QStringLiteral("Zażółć")}))
                                       .toUtf8();
        QByteArray utf16("\xFF\xFE");
        const QString utf16Text = QString::fromUtf8(utf8Doc).replace(QStringLiteral("3c"), QStringLiteral("3d"));
        for (QChar c : utf16Text)
            utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        QTest::newRow("documents in every encoding")
            << Files{
                   {QStringLiteral("a-utf8.xml"), utf8Doc},
                   {QStringLiteral("b-bom.xml"), "\xEF\xBB\xBF" + QByteArray(utf8Doc).replace(" encoding=\"UTF-8\"", "").replace("3c", "3e")},
                   {QStringLiteral("c-bom-1250.xml"), "\xEF\xBB\xBF" + QByteArray(utf8Doc).replace("UTF-8", "Windows-1250")},
                   {QStringLiteral("d-zly-utf8.xml"), QByteArray(utf8Doc).replace("Plan", "Pl\xB9n").replace("Zaż", "Za\xBF")},
                   {QStringLiteral("e-iso.xml"), QByteArray(utf8Doc).replace("UTF-8", "ISO-8859-2")},
                   {QStringLiteral("f-utf16.xml"), utf16},
                   {QStringLiteral("g-1250.xml"), programme(polish, QStringLiteral("3f"))}}
            << QList<Row>{{QStringLiteral("a-utf8.xml"), accepted, {}, polish},
                          {QStringLiteral("b-bom.xml"), accepted, {}, polish},
                          {QStringLiteral("c-bom-1250.xml"), damaged, QStringLiteral("deklaruje kodowanie „windows-1250”"), {}},
                          {QStringLiteral("d-zly-utf8.xml"), damaged, QStringLiteral("nie są poprawnym UTF-8"), {}},
                          {QStringLiteral("e-iso.xml"), damaged, QStringLiteral("nieobsługiwane kodowanie „iso-8859-2”"), {}},
                          {QStringLiteral("f-utf16.xml"), accepted, {}, polish},
                          {QStringLiteral("g-1250.xml"), accepted, {}, polish}}
            << 1 << 100;

        QString deep; // one level past the cap
        for (int i = 0; i < 17; ++i)
            deep += QStringLiteral("g/");
        QTest::newRow("a folder too deep and one that cannot be read")
            << Files{{QStringLiteral("a.xml"), programme(QStringLiteral("Lis Adam"), QStringLiteral("1a"))},
                                                      {deep + QStringLiteral("b.xml"), programme(QStringLiteral("Bąk Ewa"), QStringLiteral("2a"))},
                                                      {QStringLiteral("zamkniety/c.xml"), programme(QStringLiteral("Nowak Jan"), QStringLiteral("3a"))}}
            << QList<Row>{{QStringLiteral("a.xml"), accepted, {}, {}},
                          {deep.left(deep.size() - 1), damaged, QStringLiteral("głębiej niż 16 poziomów"), {}},
                          {QStringLiteral("zamkniety"), damaged, QStringLiteral("nie można otworzyć folderu"), {}}}
            << 1 << 100;
    }

    // Every hostile input costs only itself: it is a row with its reason, the reports
    // around it are read, the exit code tells, and memory stays under its ceiling.
    void hostileMailboxesAndDocuments()
    {
        QFETCH(QList<Row>, rows);
        QFETCH(int, exitCode);
        QFETCH(int, ceilingMb);
        QTemporaryDir temp;
        openUp(temp.path());
        const QDir input(temp.filePath(QStringLiteral("wejscie")));
        {
            QFETCH(Files, files);
            for (const auto& [name, bytes] : std::as_const(files)) {
                QVERIFY(input.mkpath(QFileInfo(input.filePath(name)).path()));
                QVERIFY(writeFile(input.filePath(name), bytes));
            }
        }
        for (QString folder = input.path(); !folder.isEmpty();) {
            openUp(folder);
            const QStringList subs = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            folder = subs.isEmpty() ? QString() : QDir(folder).filePath(subs.first());
        }
        if (QFileInfo::exists(input.filePath(QStringLiteral("zamkniety"))))
            ::chmod(QFile::encodeName(input.filePath(QStringLiteral("zamkniety"))).constData(), 0);
        const QString csv = temp.filePath(QStringLiteral("wynik.csv"));
        const ChildRun run = runChild({input.path(), QStringLiteral("--csv"), csv}, temp.filePath(QStringLiteral("err")),
                                      1024);
        if (QFileInfo::exists(input.filePath(QStringLiteral("zamkniety"))))
            ::chmod(QFile::encodeName(input.filePath(QStringLiteral("zamkniety"))).constData(), 0755);
        QVERIFY2(run.exitCode == exitCode, qPrintable(QString::number(run.exitCode) + u' ' + run.err.left(2000)));
        qInfo("peak resident memory %lld MB", run.peakKb / 1024);
        QVERIFY2(run.peakKb < qint64(ceilingMb) * 1024,
                 qPrintable(QStringLiteral("peak %1 MB over %2 MB").arg(run.peakKb / 1024).arg(ceilingMb)));

        const QList<QStringList> got = csvRows(readFile(csv));
        QStringList seen;
        for (const QStringList& r : got)
            seen.append(r.value(0).mid(input.path().size() + 1) + u' ' + r.value(6) + u' ' + r.value(7));
        QCOMPARE(got.size(), rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const Row& want = rows.at(i);
            const QStringList& r = got.at(i);
            QVERIFY2(r.size() == 8 && r.at(0) == input.filePath(want.source) && r.at(6) == want.state &&
                         r.at(7).contains(want.reason) && (want.reason.isEmpty() || want.state != u"przyjęty") &&
                         (want.teacher.isEmpty() || r.at(1) == want.teacher),
                     qPrintable(seen.join(u'\n')));
            if (want.state == u"uszkodzony")
                QVERIFY2(run.err.contains(r.at(7)), qPrintable(run.err.left(2000)));
        }
    }

    // Outputs are never written through a link planted in an input folder, never over
    // a file the run read (whatever path names it), never two onto one file; a refused
    // run writes nothing at all. A link outside the input folders is replaced by the
    // written file, never followed.
    void outputsNeverThroughLinksOrOverInputs()
    {
        QTemporaryDir temp;
        const QDir root(temp.path());
        QVERIFY(root.mkpath(QStringLiteral("siec")) && root.mkpath(QStringLiteral("inne")) &&
                root.mkpath(QStringLiteral("wyniki")));
        for (const char* folder : {".", "siec", "inne", "wyniki"})
            openUp(root.filePath(QLatin1String(folder)));
        const QString report = root.filePath(QStringLiteral("siec/kowalska.xml"));
        const QByteArray reportBytes = programme(QStringLiteral("Kowalska Anna"), QStringLiteral("2a"));
        QVERIFY(writeFile(report, reportBytes));
        const QString other = root.filePath(QStringLiteral("inne/cokolwiek"));
        QVERIFY(writeFile(other, "nie ruszać"));
        QVERIFY(QFile::link(QStringLiteral("kowalska.xml"), root.filePath(QStringLiteral("siec/zestawienie.html"))));
        QVERIFY(QFile::link(QStringLiteral("../inne/cokolwiek"), root.filePath(QStringLiteral("siec/braki.csv"))));
        QVERIFY(QFile::link(QStringLiteral("../inne"), root.filePath(QStringLiteral("siec/podfolder"))));
        QVERIFY(QFile::link(QStringLiteral("siec"), root.filePath(QStringLiteral("przez"))));
        QVERIFY(::link(QFile::encodeName(report).constData(),
                       QFile::encodeName(root.filePath(QStringLiteral("twardy.csv"))).constData()) == 0);
        const QString siec = root.filePath(QStringLiteral("siec"));
        const QString out = root.filePath(QStringLiteral("wyniki/z.html"));
        const QList<std::pair<QStringList, QString>> refused{
            {{siec, QStringLiteral("-o"), root.filePath(QStringLiteral("siec/zestawienie.html"))},
             QStringLiteral("dowiązanie symboliczne")},
            {{siec, QStringLiteral("--csv"), root.filePath(QStringLiteral("siec/braki.csv"))},
             QStringLiteral("dowiązanie symboliczne")},
            {{siec, QStringLiteral("-o"), root.filePath(QStringLiteral("siec/podfolder/z.html"))},
             QStringLiteral("dowiązanie symboliczne")},
            {{root.filePath(QStringLiteral("przez")), QStringLiteral("--csv"), report},
             QStringLiteral("zarazem plikiem wejściowym")},
            {{siec, QStringLiteral("--csv"), root.filePath(QStringLiteral("twardy.csv"))},
             QStringLiteral("zarazem plikiem wejściowym")},
            {{siec, QStringLiteral("-o"), out, QStringLiteral("--csv"), root.filePath(QStringLiteral("wyniki/../wyniki/z.html"))},
             QStringLiteral("to ten sam plik")},
            {{siec, QStringLiteral("--csv"), root.filePath(QStringLiteral("wyniki"))},
             QStringLiteral("nie jest zwykłym plikiem")},
        };
        for (const auto& [args, reason] : refused) {
            const ChildRun run = runChild(args, temp.filePath(QStringLiteral("err")), 1024);
            QVERIFY2(run.exitCode == 2 && run.err.contains(reason) && run.err.contains(QStringLiteral("nic nie zapisano")),
                     qPrintable(args.join(u' ') + QStringLiteral(" -> ") + run.err));
            QCOMPARE(readFile(report), reportBytes);
            QCOMPARE(readFile(other), QByteArray("nie ruszać"));
            QVERIFY(QFileInfo(root.filePath(QStringLiteral("siec/zestawienie.html"))).isSymLink());
            QVERIFY(QDir(root.filePath(QStringLiteral("wyniki"))).isEmpty());
            QCOMPARE(QDir(root.filePath(QStringLiteral("inne"))).entryList(QDir::Files), QStringList{QStringLiteral("cokolwiek")});
        }

        // A link outside the input folders gives way to the written file.
        const QString outside = root.filePath(QStringLiteral("inne/zewnetrzny.html"));
        QVERIFY(QFile::link(QStringLiteral("cokolwiek"), outside));
        const ChildRun run = runChild({siec, QStringLiteral("-o"), outside, QStringLiteral("--csv"),
                                       root.filePath(QStringLiteral("wyniki/s.csv"))},
                                      temp.filePath(QStringLiteral("err")), 1024);
        QVERIFY2(run.exitCode == 1, qPrintable(run.err)); // the two planted links are listed
        QCOMPARE(readFile(other), QByteArray("nie ruszać"));
        QVERIFY(!QFileInfo(outside).isSymLink() && readFile(outside).startsWith("<!DOCTYPE html>"));
        QVERIFY(readFile(root.filePath(QStringLiteral("wyniki/s.csv"))).contains("kowalska.xml;Kowalska Anna;3;2a;"));
    }

    // A summary far longer than one printed layout can hold is printed whole: every
    // page has text, and the last report and the closing section are on the last pages.
    void pdfOfThreeThousandLongReports()
    {
        QTemporaryDir temp;
        openUp(temp.path());
        const QDir input(temp.filePath(QStringLiteral("siec")));
        QVERIFY(input.mkpath(QStringLiteral(".")));
        openUp(input.path());
        constexpr int kReports = 3000;
        constexpr int kLines = 50;
        for (int n = 1; n <= kReports; ++n) {
            QStringList lines;
            for (int i = 1; i <= kLines; ++i)
                lines << QStringLiteral("Wiersz %1 sprawozdania nr %2: realizacja programu wychowawczego w klasie, "
                                        "wycieczki, zebrania z rodzicami i dyżury.")
                             .arg(i)
                             .arg(n);
            QVERIFY(writeFile(input.filePath(QStringLiteral("r%1.xml").arg(n)),
                              document(QStringLiteral("Realizacja programu wychowawczego"),
                                       QStringLiteral("Nauczyciel %1").arg(n, 4, 10, QLatin1Char('0')),
                                       programmeBody(QStringLiteral("1a"), lines), QStringLiteral("12.06.2026 g. 10:00:00"))));
        }
        const QString pdf = temp.filePath(QStringLiteral("zestawienie.pdf"));
        // Qt's PDF writer takes two 10 MB buffers for every page; a sanitizer build that
        // poisons and quarantines each of them spends a quarter of an hour on 2 500 pages.
        // This run is about the pages, not about the heap, so it skips that bookkeeping.
        const ChildRun run = runChild({input.path(), QStringLiteral("--pdf"), pdf}, temp.filePath(QStringLiteral("err")), 2048,
                                      {QStringLiteral("QT_QPA_PLATFORM=offscreen"),
                                       QStringLiteral("ASAN_OPTIONS=detect_leaks=1:poison_heap=0:quarantine_size_mb=0")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));

        const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        QVERIFY2(!pdfinfo.isEmpty() && !pdftotext.isEmpty(), "poppler-utils are needed");
        QProcess info;
        info.start(pdfinfo, {pdf});
        QVERIFY(info.waitForFinished(120000));
        const QString infoText = QString::fromUtf8(info.readAllStandardOutput());
        const qsizetype at = infoText.indexOf(QStringLiteral("Pages:"));
        QVERIFY(at >= 0);
        const int pages = infoText.mid(at + 6).section(u'\n', 0, 0).trimmed().toInt();
        QProcess text;
        text.start(pdftotext, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(600000));
        QStringList printed = QString::fromUtf8(text.readAllStandardOutput()).split(QChar(u'\f'));
        if (!printed.isEmpty() && printed.last().trimmed().isEmpty())
            printed.removeLast();
        qInfo("%d pages", pages);
        QCOMPARE(printed.size(), pages);
        // 150 000 lines of text, at most about 60 lines on a page.
        QVERIFY2(pages > kReports * kLines / 60, qPrintable(QString::number(pages)));
        for (int p = 0; p < printed.size(); ++p)
            QVERIFY2(!printed.at(p).trimmed().isEmpty(), qPrintable(QStringLiteral("page %1 is blank").arg(p + 1)));
        const QString tail = (printed.value(printed.size() - 3) + printed.value(printed.size() - 2) + printed.last()).simplified();
        QVERIFY2(tail.contains(QStringLiteral("Dokumenty zastąpione, podejrzane i uszkodzone Brak.")), qPrintable(tail.right(500)));
        const QString all = printed.join(QString()).simplified();
        QVERIFY(all.contains(QStringLiteral("Wiersz %1 sprawozdania nr %2:").arg(kLines).arg(kReports)));
        QVERIFY(all.indexOf(QStringLiteral("Nauczyciel 3000 – klasa 1a")) > all.indexOf(QStringLiteral("Nauczyciel 2999 – klasa 1a")));
    }

    // No document can take a report's place by its date or by how a name is written:
    // a date after the run is suspicious and replaces nothing; names match after
    // blanks and letter case are folded; dates compare as written whatever the time
    // zone (the spring-forward hour included); a corrected curriculum or other report
    // replaces the first even with its free text changed.
    void replacementsCannotBeForged()
    {
        QTemporaryDir temp;
        openUp(temp.path());
        const QDir input(temp.filePath(QStringLiteral("siec")));
        QVERIFY(input.mkpath(QStringLiteral(".")));
        openUp(input.path());
        const QDateTime now = QDateTime::currentDateTime();
        const auto written = [](const QDateTime& t) { return t.toString(QStringLiteral("dd.MM.yyyy 'g.' HH:mm:ss")); };
        const auto curriculum = [](const QString& classes, const QString& date) {
            return document(QStringLiteral("Realizacja programu z przedmiotu nauczania"), QStringLiteral("Nowak Jan"),
                            QStringLiteral("<Przedmiot>fizyka</Przedmiot><Klasy>%1</Klasy><Ogolne><IloscWierszy>0</IloscWierszy>"
                                           "</Ogolne><Sukcesy><IloscWierszy>0</IloscWierszy></Sukcesy>")
                                .arg(classes),
                            date);
        };
        const auto otherReport = [](const QString& about, const QString& date) {
            return document(QStringLiteral("Inne informacje"), QStringLiteral("Nowak Jan"),
                            QStringLiteral("<Dotyczy>%1</Dotyczy><Nr>953</Nr><Info><IloscWierszy>0</IloscWierszy></Info>").arg(about),
                            date);
        };
        const QList<std::pair<QString, QByteArray>> files{
            {QStringLiteral("a.xml"), programme(QStringLiteral("Kowalska Anna"), QStringLiteral("2a"), QStringLiteral("10.06.2026 g. 10:00:00"))},
            {QStringLiteral("b.xml"), programme(QStringLiteral("kowalska   ANNA"), QStringLiteral(" 2A"), QStringLiteral("31.12.9999 g. 23:59:59"))},
            {QStringLiteral("c.xml"), programme(QStringLiteral("Kowalska Anna"), QStringLiteral("2a"), written(now.addDays(2)))},
            {QStringLiteral("d.xml"), programme(QStringLiteral("Kowalska\u00A0Anna"), QStringLiteral("2a"), written(now.addSecs(12 * 3600)))},
            {QStringLiteral("e.xml"), programme(QStringLiteral("Lis Adam"), QStringLiteral("3b"), QStringLiteral("29.03.2026 g. 01:59:00"))},
            {QStringLiteral("f.xml"), programme(QStringLiteral("Lis Adam"), QStringLiteral("3b"), QStringLiteral("29.03.2026 g. 02:30:00"))},
            {QStringLiteral("g.xml"), curriculum(QStringLiteral("2a"), QStringLiteral("11.06.2026 g. 10:00:00"))},
            {QStringLiteral("h.xml"), curriculum(QStringLiteral("2a, 2b (poprawione)"), QStringLiteral("12.06.2026 g. 10:00:00"))},
            {QStringLiteral("i.xml"), otherReport(QStringLiteral("Rada"), QStringLiteral("11.06.2026 g. 10:00:00"))},
            {QStringLiteral("j.xml"), otherReport(QStringLiteral("Rada pedagogiczna, wnioski"), QStringLiteral("12.06.2026 g. 10:00:00"))},
            {QStringLiteral("k.xml"), programme(QStringLiteral("Zieliński Piotr"), QStringLiteral("1a,=1+1\t@2"))},
        };
        for (const auto& [name, bytes] : files)
            QVERIFY(writeFile(input.filePath(name), bytes));
        const QString csv = temp.filePath(QStringLiteral("s.csv"));
        const ChildRun run = runChild({input.path(), QStringLiteral("--csv"), csv}, temp.filePath(QStringLiteral("err")), 1024,
                                      {QStringLiteral("TZ=Europe/Warsaw")});
        QCOMPARE(run.exitCode, 1); // two suspicious documents
        QStringList states;
        for (const QStringList& r : csvRows(readFile(csv)))
            states << QFileInfo(r.value(0)).fileName() + u' ' + r.value(1) + u' ' + r.value(6);
        QCOMPARE(states, QStringList({
                             QStringLiteral("a.xml Kowalska Anna zastąpiony"),
                             QStringLiteral("b.xml kowalska   ANNA podejrzany"),
                             QStringLiteral("c.xml Kowalska Anna podejrzany"),
                             QStringLiteral("d.xml Kowalska\u00A0Anna przyjęty"),
                             QStringLiteral("e.xml Lis Adam zastąpiony"),
                             QStringLiteral("f.xml Lis Adam przyjęty"),
                             QStringLiteral("g.xml Nowak Jan zastąpiony"),
                             QStringLiteral("h.xml Nowak Jan przyjęty"),
                             QStringLiteral("i.xml Nowak Jan zastąpiony"),
                             QStringLiteral("j.xml Nowak Jan przyjęty"),
                             QStringLiteral("k.xml Zieliński Piotr przyjęty"),
                         }));
        QVERIFY2(run.err.contains(QStringLiteral("podejrzany: ") + input.filePath(QStringLiteral("b.xml")) +
                                  QStringLiteral(": data „31.12.9999 g. 23:59:59” jest późniejsza")),
                 qPrintable(run.err));
        // The typed classes reach a spreadsheet as one text cell, whatever it splits on.
        QVERIFY(QString::fromUtf8(readFile(csv)).contains(QStringLiteral(";3;\"1a,=1+1\t@2\";;12.06.2026 10:00:00;przyjęty;\r\n")));
    }
};

QTEST_GUILESS_MAIN(TestCollectSafety)
#include "tst_collectsafety.moc"
