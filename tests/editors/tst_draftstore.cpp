#include "editors/DraftStore.h"
#include "editors/EditorInput.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

namespace {

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
};

QTEST_MAIN(TestDraftStore)
#include "tst_draftstore.moc"
