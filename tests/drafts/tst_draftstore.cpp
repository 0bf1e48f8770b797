#include "drafts/DraftStore.h"
#include "drafts/EditorInput.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSysInfo>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TestFiles::readFile;
using TestFiles::writeFile;

const QString kTeacher = QStringLiteral("Żółkiewska Łucja");

Draft sampleDraft()
{
    WerdykonEdit edit;
    edit.ClassName = QStringLiteral("IIIb <gim>");
    edit.Classified = QStringLiteral("3");
    edit.Promoted = QStringLiteral("2.");
    edit.Averages = {QStringLiteral("Bąk Zofia")};
    _UczenFull row;
    row.Name = QStringLiteral("Bąk Zofia");
    row.Average = 512;
    row.FailSubjects = QStringLiteral("Fizyka & astronomia");
    row.ConductJustification = QStringLiteral("a\u00a0b&&c&");
    row.FullAttendance = true;
    edit.Rows = {row, _UczenFull{}};
    Draft draft;
    draft.Teacher = kTeacher;
    draft.Topic = 0;
    draft.Changed = QDateTime(QDate(2026, 12, 8), QTime(9, 31, 5, 250));
    draft.About = QStringLiteral("klasa IIIb <gim>");
    draft.Input = SaveInput(edit);
    return draft;
}

} // namespace

// The drafts' own file format, their store and the keeper that writes them.
class TestDraftStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aDraftComesBackAsItWasWritten()
    {
        const Draft draft = sampleDraft();
        Draft back;
        QVERIFY(DraftStore::Decode(DraftStore::Encode(draft), &back));
        QCOMPARE(back.Teacher, draft.Teacher);
        QCOMPARE(back.Topic, 0);
        QCOMPARE(back.Changed, draft.Changed);
        QCOMPARE(back.About, draft.About);
        WerdykonEdit edit;
        QVERIFY(LoadInput(back.Input, &edit));
        QCOMPARE(SaveInput(edit), draft.Input);
        QCOMPARE(edit.Rows.at(0).ConductJustification, QStringLiteral("a\u00a0b&&c&"));
        QCOMPARE(edit.Rows.at(0).Average, 512);
        QVERIFY(edit.Rows.at(0).FullAttendance && !edit.Rows.at(1).FullAttendance);
        QCOMPARE(edit.Report().Promoted, QStringLiteral("2."));
        // The value of one editor is not that of another.
        KartaEdit karta;
        QVERIFY(!LoadInput(draft.Input, &karta));
    }

    void anythingElseIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = DraftStore::Encode(sampleDraft());
        const QByteArray body = good.mid(good.indexOf('\n') + 1);
        QJsonObject o = QJsonDocument::fromJson(body).object();
        const auto with = [&](const char* key, const QJsonValue& value) {
            QJsonObject changed = o;
            changed.insert(QLatin1String(key), value);
            return QByteArray("TABULON-SZKIC 1\n") + QJsonDocument(changed).toJson();
        };
        QJsonObject badRow = o.value(QStringLiteral("dane")).toObject();
        QJsonArray rows = badRow.value(QStringLiteral("uczniowie")).toArray();
        QJsonObject row = rows.at(0).toObject();
        row.insert(QStringLiteral("srednia"), 601);
        rows.replace(0, row);
        badRow.insert(QStringLiteral("uczniowie"), rows);

        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no marker") << body;
        QTest::newRow("a later version") << QByteArray("TABULON-SZKIC 2\n") + body;
        QTest::newRow("cut short") << good.left(good.size() / 2);
        QTest::newRow("not an object") << QByteArray("TABULON-SZKIC 1\n[1, 2]");
        QTest::newRow("teacher a number") << with("nauczyciel", 5);
        QTest::newRow("topic a text") << with("zagadnienie", QStringLiteral("0"));
        QTest::newRow("no time") << with("zmieniony", QStringLiteral("wczoraj"));
        QTest::newRow("input a list") << with("dane", QJsonArray());
        QTest::newRow("average out of range") << with("dane", badRow);
        QTest::newRow("too large") << good + QByteArray(DraftStore::kMaxBytes, ' ');
    }

    void anythingElseIsRefused()
    {
        QFETCH(QByteArray, bytes);
        Draft draft;
        WerdykonEdit edit;
        QVERIFY(!DraftStore::Decode(bytes, &draft) || !LoadInput(draft.Input, &edit));
    }

    void theStoreSetsADamagedDraftAside()
    {
        QTemporaryDir dir;
        const DraftStore store(dir.path());
        Draft draft;
        QCOMPARE(store.Read(kTeacher, 0, &draft), DraftStore::Found::None);
        QVERIFY(store.Write(sampleDraft()));
        QCOMPARE(store.Read(kTeacher, 0, &draft), DraftStore::Found::Draft);
        // Per teacher and topic: neither another teacher nor another topic sees it.
        QCOMPARE(store.Read(QStringLiteral("Abacki Jan"), 0, &draft), DraftStore::Found::None);
        QCOMPARE(store.Read(kTeacher, 1, &draft), DraftStore::Found::None);

        const QString path = store.PathOf(kTeacher, 0);
        QVERIFY(writeFile(path, "TABULON-SZKIC 1\n{"));
        QString aside;
        QCOMPARE(store.Read(kTeacher, 0, &draft, &aside), DraftStore::Found::Damaged);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(QFile(aside).size(), qint64(17)); // kept as it was, under another name
        QCOMPARE(store.Read(kTeacher, 0, &draft), DraftStore::Found::None);

        // Another teacher's draft under this teacher's name is not offered either.
        Draft foreign = sampleDraft();
        foreign.Teacher = QStringLiteral("Abacki Jan");
        QVERIFY(writeFile(path, DraftStore::Encode(foreign)));
        QCOMPARE(store.Read(kTeacher, 0, &draft), DraftStore::Found::Damaged);

        // A planted link is neither followed when read nor written through.
        const QString target = QDir(dir.path()).filePath(QStringLiteral("cel.txt"));
        QVERIFY(writeFile(target, DraftStore::Encode(sampleDraft())));
        QVERIFY(QFile::link(target, path));
        QCOMPARE(store.Read(kTeacher, 0, &draft), DraftStore::Found::Damaged);
        QVERIFY(QFile::link(target, path));
        QVERIFY(store.Write(sampleDraft()));
        QVERIFY(!QFileInfo(path).isSymLink());
        QCOMPARE(QFile(target).size(), DraftStore::Encode(sampleDraft()).size());
    }

    void theKeeperWritesAMomentAfterAChangeAndHoldsItsDraft()
    {
        QTemporaryDir dir;
        const DraftStore store(dir.path());
        Draft value = sampleDraft();
        bool holds = true;
        DraftKeeper keeper([&]() -> std::optional<Draft> {
            if (!holds)
                return std::nullopt;
            return value;
        });
        QCOMPARE(keeper.Begin(store, kTeacher, 0), DraftKeeper::Lock::Taken);
        // A second program keeping the same draft is refused while this one runs.
        DraftKeeper second([] { return std::optional<Draft>(); });
        QCOMPARE(second.Begin(store, kTeacher, 0), DraftKeeper::Lock::Busy);
        QCOMPARE(second.Begin(store, kTeacher, 1), DraftKeeper::Lock::Taken);

        keeper.Changed();
        QVERIFY(!QFile::exists(store.PathOf(kTeacher, 0)));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(store.PathOf(kTeacher, 0)), 5000);
        Draft written;
        QCOMPARE(store.Read(kTeacher, 0, &written), DraftStore::Found::Draft);
        QCOMPARE(written.Input, value.Input);

        // Nothing held any more: the draft goes.
        holds = false;
        keeper.Changed();
        keeper.Flush();
        QVERIFY(!QFile::exists(store.PathOf(kTeacher, 0)));

        holds = true;
        keeper.Changed();
        keeper.End();
        QVERIFY(QFile::exists(store.PathOf(kTeacher, 0)));
        QCOMPARE(second.Begin(store, kTeacher, 0), DraftKeeper::Lock::Taken); // released
    }

    // However fast the teacher types, the draft is on disk at most five seconds after
    // the first change not yet written; a pause of one second writes it too.
    void theKeeperWritesWithinFiveSecondsOfTyping()
    {
        QTemporaryDir dir;
        const DraftStore store(dir.path());
        DraftKeeper keeper([] { return std::optional<Draft>(sampleDraft()); });
        QCOMPARE(keeper.Begin(store, kTeacher, 0), DraftKeeper::Lock::Taken);
        QElapsedTimer typing;
        typing.start();
        qint64 writtenAfter = -1;
        while (typing.elapsed() < 7000) {
            keeper.Changed(); // a keystroke every 200 ms
            QTest::qWait(200);
            if (writtenAfter < 0 && QFile::exists(store.PathOf(kTeacher, 0)))
                writtenAfter = typing.elapsed();
        }
        QVERIFY2(writtenAfter >= 4800 && writtenAfter <= 5800, QByteArray::number(writtenAfter).constData());
        keeper.End();
    }

    // Starting anew, or a class change, puts the draft aside: nothing is deleted at
    // once; two in one second both stay; past 30 days or past the cap the oldest go.
    void discardedDraftsWaitAWhile()
    {
        QTemporaryDir dir;
        const DraftStore store(dir.path());
        for (int round = 0; round < 2; ++round) {
            QVERIFY(store.Write(sampleDraft()));
            QVERIFY(store.Discard(kTeacher, 0));
            QVERIFY(!QFile::exists(store.PathOf(kTeacher, 0)));
        }
        QDir discarded(store.DiscardedFolder());
        QStringList kept = discarded.entryList(QDir::Files);
        QCOMPARE(kept.size(), 2);
        for (const QString& name : kept)
            QCOMPARE(readFile(discarded.filePath(name)), DraftStore::Encode(sampleDraft()));

        // One of them 31 days old: it goes at the next discard's pruning.
        QFile old(discarded.filePath(kept.first()));
        QVERIFY(old.open(QIODevice::ReadWrite));
        QVERIFY(old.setFileTime(QDateTime::currentDateTime().addDays(-31), QFileDevice::FileModificationTime));
        old.close();
        store.PruneDiscarded();
        QCOMPARE(discarded.entryList(QDir::Files), QStringList{kept.last()});

        // Past the size cap the oldest go first, the newest stays.
        const QByteArray big(DraftStore::kDiscardedMaxBytes / 2 + 1, 'x');
        for (int n = 0; n < 3; ++n) {
            QVERIFY(writeFile(discarded.filePath(QStringLiteral("szkic-0-duzy%1.szkic").arg(n)), big));
            QFile file(discarded.filePath(QStringLiteral("szkic-0-duzy%1.szkic").arg(n)));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-100 + n), QFileDevice::FileModificationTime));
        }
        store.PruneDiscarded();
        kept = discarded.entryList(QDir::Files);
        QVERIFY2(kept.contains(QStringLiteral("szkic-0-duzy2.szkic")) && kept.size() == 2, qPrintable(kept.join(' ')));
    }

    // Two damaged drafts set aside in the same second are both kept; a draft over the
    // cap is refused when written, with the reason, as it would be when read.
    void damagedAndOversizedDrafts()
    {
        QTemporaryDir dir;
        const DraftStore store(dir.path());
        QVERIFY(QDir().mkpath(store.Folder()));
        const QString path = store.PathOf(kTeacher, 0);
        Draft draft;
        QString first;
        QString second;
        QVERIFY(writeFile(path, "TABULON-SZKIC 1\n{pierwszy"));
        QCOMPARE(store.Read(kTeacher, 0, &draft, &first), DraftStore::Found::Damaged);
        QVERIFY(writeFile(path, "TABULON-SZKIC 1\n{drugi"));
        QCOMPARE(store.Read(kTeacher, 0, &draft, &second), DraftStore::Found::Damaged);
        QVERIFY(first != second);
        QCOMPARE(readFile(first), QByteArray("TABULON-SZKIC 1\n{pierwszy"));
        QCOMPARE(readFile(second), QByteArray("TABULON-SZKIC 1\n{drugi"));

        Draft huge = sampleDraft();
        huge.About = QString(int(DraftStore::kMaxBytes), QLatin1Char('a'));
        QString error;
        QVERIFY(!store.Write(huge, &error));
        QCOMPARE(error, QStringLiteral("szkic przekracza 8 MB"));
        QVERIFY(!QFile::exists(path));
    }

    // Locks: a draft another running program holds is neither deleted nor put aside;
    // a lock its program left on this computer is taken over; one of another
    // computer names that computer and is taken over only when asked to.
    void locksOfOtherPrograms()
    {
        QTemporaryDir dir;
        const DraftStore store(dir.path());
        QVERIFY(store.Write(sampleDraft()));
        {
            DraftKeeper other([] { return std::optional<Draft>(); });
            QCOMPARE(other.Begin(store, kTeacher, 0), DraftKeeper::Lock::Taken);
            QVERIFY(!store.Remove(kTeacher, 0));
            QVERIFY(!store.Discard(kTeacher, 0));
            QVERIFY(QFile::exists(store.PathOf(kTeacher, 0)));
        }
        const QString lock = store.PathOf(kTeacher, 0) + QStringLiteral(".lock");
        const QByteArray host = QSysInfo::machineHostName().toLocal8Bit();
        // A program of this computer that has ended (no such process).
        QVERIFY(writeFile(lock, "2147483600\ntabulon\n" + host + "\n"));
        DraftKeeper keeper([] { return std::optional<Draft>(); });
        QCOMPARE(keeper.Begin(store, kTeacher, 0), DraftKeeper::Lock::Taken);
        keeper.End();
        // Another computer's program, which may still run there.
        QVERIFY(writeFile(lock, "4242\ntabulon\nsala-12-komputer\n"));
        QCOMPARE(keeper.Begin(store, kTeacher, 0), DraftKeeper::Lock::OtherMachine);
        QCOMPARE(keeper.Holder(), QStringLiteral("sala-12-komputer"));
        QVERIFY(!store.Remove(kTeacher, 0));
        QCOMPARE(keeper.TakeOver(store, kTeacher, 0), DraftKeeper::Lock::Taken);
        QVERIFY(keeper.IsKeeping());
        keeper.Remove();
        QVERIFY(!QFile::exists(store.PathOf(kTeacher, 0)));
    }
};

QTEST_MAIN(TestDraftStore)
#include "tst_draftstore.moc"
