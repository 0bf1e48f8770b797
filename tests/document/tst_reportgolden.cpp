#include "core/AppState.h"
#include "core/KlasaFull.h"
#include "document/ReportRoutines.h"
#include "encoding/TextCodec.h"
#include "support/MessageRecorder.h"
#include "support/TestPaths.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

// Each folder under golden/ holds one realistic input of one topic and the report
// document and preview page worked out by hand for it.
class TestReportGolden : public QObject
{
    Q_OBJECT

private:
    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray();
        return file.readAll();
    }

    static QStringList lines(const QJsonValue& value)
    {
        QStringList out;
        for (const QJsonValue& v : value.toArray())
            out << v.toString();
        return out;
    }

    static void loadSheet(const QJsonObject& in, _KlasaFull& sheet)
    {
        const QJsonArray pupils = in.value(QStringLiteral("pupils")).toArray();
        QStringList names;
        for (const QJsonValue& p : pupils)
            names << p.toObject().value(QStringLiteral("name")).toString();
        sheet.LoadClassSheet(in.value(QStringLiteral("className")).toString(), names);
        for (int r = 0; r < pupils.size(); ++r) {
            const QJsonObject p = pupils.at(r).toObject();
            _UczenFull& u = sheet.Rows[r];
            u.FullAttendance = p.value(QStringLiteral("fullAttendance")).toBool();
            u.ExemplaryConduct = p.value(QStringLiteral("exemplaryConduct")).toBool();
            u.Average = p.value(QStringLiteral("average")).toInt();
            u.FailSubjects = p.value(QStringLiteral("failSubjects")).toString();
            sheet.StoreJustification(JustificationKind::FailingGrade, r, u.FailSubjects,
                                     lines(p.value(QStringLiteral("failJustification"))));
            sheet.StoreJustification(JustificationKind::Conduct, r,
                                     p.value(QStringLiteral("conductGrade")).toString(),
                                     lines(p.value(QStringLiteral("conductJustification"))));
        }
    }

    static bool runTopic(const QJsonObject& in, AppState& state, const QDateTime& now)
    {
        const auto text = [&in](const char* key) { return in.value(QLatin1String(key)).toString(); };
        const auto memo = [&in](const char* key) { return lines(in.value(QLatin1String(key))); };
        _KlasaFull sheet;
        loadSheet(in, sheet);
        switch (in.value(QStringLiteral("topic")).toInt()) {
        case 1:
            return WriteWerdykonReport({text("className"), text("classified"), text("promoted")}, sheet,
                                       state, now);
        case 2:
            return WriteZachowanieReport({text("className"), text("classified"), memo("remarks")}, sheet,
                                         state, now);
        case 3:
            return WriteRealWychReport({text("className"), memo("general"), memo("successes")}, state, now);
        case 4:
            return WriteRealProgramuReport(
                {text("subject"), text("classes"), memo("general"), memo("successes")}, state, now);
        case 5:
            return WriteZajDodatkoweReport({text("activity"), memo("general")}, state, now);
        case 6:
            return WriteUzasadnienieReport({text("subject"), text("className")}, sheet, state, now);
        case 7:
            return WriteDyrektorReport({memo("teaching"), memo("supervision")}, state, now);
        case 8:
            return WriteInneReport({text("concerns"), memo("info")}, state, now);
        case 9:
            return WriteKartaReport({memo("info")}, state, now);
        default:
            return false;
        }
    }

private Q_SLOTS:
    void topics_data()
    {
        QTest::addColumn<QString>("folder");
        const QDir golden(TestPaths::testData(QStringLiteral("document/golden")));
        const QStringList folders = golden.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(folders.size(), 9);
        for (const QString& f : folders)
            QTest::newRow(qPrintable(f)) << golden.filePath(f);
    }

    void topics()
    {
        QFETCH(QString, folder);
        const QJsonObject in =
            QJsonDocument::fromJson(readAll(QDir(folder).filePath(QStringLiteral("input.json")))).object();
        QVERIFY(!in.isEmpty());

        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        AppState state;
        state.TempFolder = temp.path() + QLatin1Char('/');
        state.TeacherName = in.value(QStringLiteral("teacher")).toString();
        state.MachineSignature = in.value(QStringLiteral("machineSignature")).toString();
        state.DocumentFileName = QStringLiteral("earlier");
        const QDateTime now = QDateTime::fromString(in.value(QStringLiteral("now")).toString(), Qt::ISODate);
        QVERIFY(now.isValid());

        MessageRecorder recorder;
        QVERIFY(runTopic(in, state, now));
        QCOMPARE(recorder.messages().size(), 0);

        const QString name = in.value(QStringLiteral("documentFileName")).toString();
        const QString previewFile = in.value(QStringLiteral("previewFile")).toString();
        QCOMPARE(state.DocumentFileName, name);
        // Nothing else is written into the working folder.
        const QStringList written = QDir(temp.path()).entryList(QDir::Files);
        QCOMPARE(QSet<QString>(written.begin(), written.end()),
                 QSet<QString>({name + QStringLiteral(".xml"), previewFile}));
        const QByteArray expectedXml = readAll(QDir(folder).filePath(QStringLiteral("expected.xml")));
        const QByteArray expectedHtm = readAll(QDir(folder).filePath(QStringLiteral("expected.htm")));
        QVERIFY(!expectedXml.isEmpty() && !expectedHtm.isEmpty());
        QCOMPARE(readAll(QDir(temp.path()).filePath(name + QStringLiteral(".xml"))), expectedXml);
        QCOMPARE(readAll(QDir(temp.path()).filePath(previewFile)), expectedHtm);

        // The page kept for the preview window is the page written.
        QString pageText = TextCodec::fromCp1250(expectedHtm);
        pageText.chop(2);
        QCOMPARE(state.PreviewPage, pageText.split(QStringLiteral("\r\n")));
    }
};

QTEST_GUILESS_MAIN(TestReportGolden)
#include "tst_reportgolden.moc"
