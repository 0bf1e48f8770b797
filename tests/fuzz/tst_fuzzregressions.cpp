// Replays every input that once troubled the fuzzer (and a few written by hand in the
// same spirit) through the XML reader, its writer and the school data loaders, and
// through the body of every fuzz target.

#include "core/SchoolData.h"
#include "encoding/PKXML.h"
#include "fuzz/FuzzTargets.h"
#include "support/TestPaths.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
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

    // Every kept input, from every target's folder, through every target's body: an
    // input that troubled one reader is a fair test for the others.
    void replayThroughEveryTarget_data()
    {
        QTest::addColumn<QString>("path");
        const QString root = TestPaths::testData(QStringLiteral("data/fuzz-regressions"));
        QDirIterator files(root, QDir::Files, QDirIterator::Subdirectories);
        QStringList paths;
        while (files.hasNext())
            paths << files.next();
        paths.sort();
        for (const QString& f : paths)
            QTest::newRow(qPrintable(QDir(root).relativeFilePath(f))) << f;
    }

    void replayThroughEveryTarget()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        for (const FuzzTarget& target : FuzzTargets())
            QVERIFY2(target.run(bytes), target.name);
    }
};

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
