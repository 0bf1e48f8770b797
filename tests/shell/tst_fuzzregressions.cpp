// Replays every input that once troubled the fuzzer (and a few written by hand in the
// same spirit) through the XML reader, its writer and the school data loaders.

#include "document/PKXML.h"
#include "shell/SchoolData.h"
#include "support/TestPaths.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTest>

class TestFuzzRegressions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data()
    {
        QTest::addColumn<QString>("path");
        const QDir dir(TestPaths::testData(QStringLiteral("data/fuzz-regressions")));
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        QVERIFY(!files.isEmpty());
        for (const QString& f : files)
            QTest::newRow(qPrintable(f)) << dir.filePath(f);
    }

    void replay()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();

        TpkXML xml;
        xml.LoadFromBuffer(bytes);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(xml.SaveToStream(out));
        if (!out.data().isEmpty()) {
            // Whatever was kept is written in a form the reader accepts whole.
            TpkXML again;
            QVERIFY(again.LoadFromBuffer(out.data()));
        }

        // Loaders answer either way; a failure always says why.
        SchoolData model;
        for (DataFileKind kind : {DataFileKind::Teachers, DataFileKind::Subjects, DataFileKind::Classes}) {
            DataFileStatus status;
            if (!LoadDataBuffer(kind, bytes, model, &status))
                QVERIFY(!status.reason.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
