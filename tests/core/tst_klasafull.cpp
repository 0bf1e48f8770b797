#include "core/KlasaFull.h"
#include "core/SchoolData.h"
#include "core/TextForm.h"
#include "support/MessageRecorder.h"

#include <QTest>

class TestKlasaFull : public QObject
{
    Q_OBJECT

private:
    static _KlasaFull sheetOf(const QStringList& pupils)
    {
        _KlasaFull sheet;
        sheet.LoadClassSheet(QStringLiteral("IIa"), pupils);
        return sheet;
    }

private Q_SLOTS:
    void ampersandTextForm()
    {
        // a, an empty line, b
        const QStringList memo{QStringLiteral("a"), QString(), QStringLiteral("b")};
        QCOMPARE(MemoToText(memo), QStringLiteral("a&&b&"));
        QCOMPARE(SplitText(QStringLiteral("a&&b&")), memo);
        QCOMPARE(MemoToText({}), QString());
        QCOMPARE(SplitText(QString()), QStringList());
        // Text after the last "&" is not a line.
        QCOMPARE(SplitText(QStringLiteral("x&y")), QStringList{QStringLiteral("x")});
        QCOMPARE(SplitText(QStringLiteral("tail")), QStringList());
        // A "&" typed inside a line ends it when the text is split again.
        QCOMPARE(SplitText(MemoToText({QStringLiteral("R & D")})),
                 (QStringList{QStringLiteral("R "), QStringLiteral(" D")}));

        QCOMPARE(JoinWithCommas({}), QString());
        QCOMPARE(JoinWithCommas({QStringLiteral("x")}), QStringLiteral("x"));
        QCOMPARE(JoinWithCommas({QStringLiteral("x"), QStringLiteral("y")}), QStringLiteral("x, y"));
    }

    void memoLinesAreTypedLines()
    {
        QCOMPARE(MemoLines(QString()), QStringList());
        QCOMPARE(MemoLines(QStringLiteral("a\nb")), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(MemoLines(QStringLiteral("a\r\nb\r\n")),
                 (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(MemoLines(QStringLiteral("\n")), QStringList{QString()});
        QCOMPARE(MemoLines(QStringLiteral("a\n\nb")),
                 (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    }

    void loadingClearsEveryRowAndCounter()
    {
        _KlasaFull sheet = sheetOf({QStringLiteral("Anna"), QStringLiteral("Bartek")});
        sheet.Rows[0].Average = 512;
        sheet.Rows[0].FullAttendance = true;
        sheet.Rows[1].ConductGrade = QStringLiteral("naganna");
        sheet.Rows[1].Grouped = true;
        sheet.CountMarks(MarkAverage);
        sheet.LoadClassSheet(QStringLiteral("IIIb"),
                             {QStringLiteral("Cezary"), QStringLiteral("Anna"), QStringLiteral("Dorota")});
        QCOMPARE(sheet.ClassName, QStringLiteral("IIIb"));
        QCOMPARE(sheet.PupilCount, 3);
        QCOMPARE(sheet.AverageCount, 0);
        QCOMPARE(sheet.Rows.at(1).Name, QStringLiteral("Anna"));
        for (const _UczenFull& u : sheet.Rows) {
            QCOMPARE(u.Average, 0);
            QVERIFY(!u.FullAttendance && !u.ExemplaryConduct && !u.Grouped);
            QVERIFY(u.ConductGrade.isEmpty() && u.FailSubjects.isEmpty());
        }

        // A class far larger than any real one still fits.
        QStringList many;
        for (int i = 0; i < 80; ++i)
            many << QStringLiteral("Uczeń %1").arg(i);
        sheet.LoadClassSheet(QStringLiteral("Duża"), many);
        QCOMPARE(sheet.PupilCount, 80);
        QCOMPARE(sheet.FindPupilRow(QStringLiteral("Uczeń 79")), 79);
        sheet.MarkRows({0, 79, 80, -1}, MarkFullAttendance);
        QCOMPARE(sheet.CountMarks(MarkFullAttendance), 2);
    }

    void loadingFromTheSchoolsClasses()
    {
        _Klasa first;
        first.Name = QStringLiteral("Ia");
        first.Pupils = {QStringLiteral("Ewa"), QStringLiteral("Jan")};
        first.PupilCount = 2;
        _Klasa empty;
        empty.Name = QStringLiteral("Ib");
        schoolData().Classes = {first, empty};

        _KlasaFull sheet;
        sheet.LoadClassSheet(0);
        QCOMPARE(sheet.ClassName, QStringLiteral("Ia"));
        QCOMPARE(sheet.PupilCount, 2);
        QCOMPARE(sheet.Rows.at(1).Name, QStringLiteral("Jan"));
        sheet.LoadClassSheet(1);
        QCOMPARE(sheet.ClassName, QStringLiteral("Ib"));
        QCOMPARE(sheet.PupilCount, 0);
        QCOMPARE(sheet.FindPupilRow(QStringLiteral("Jan")), -1);
        // No such class: nothing of the previous one is left.
        sheet.LoadClassSheet(0);
        sheet.LoadClassSheet(2);
        QCOMPARE(sheet.PupilCount, 0);
        QVERIFY(sheet.Rows.isEmpty() && sheet.ClassName.isEmpty());
        schoolData() = SchoolData{};
    }

    void findCollectAndCount()
    {
        _KlasaFull sheet = sheetOf(
            {QStringLiteral("Ola"), QStringLiteral("Piotr"), QStringLiteral("Ola"), QStringLiteral("Rafał")});
        QCOMPARE(sheet.FindPupilRow(QStringLiteral("Ola")), 0);  // the first of two equal names
        QCOMPARE(sheet.FindPupilRow(QStringLiteral("ola")), -1); // exact, letter case counts
        QCOMPARE(sheet.FindPupilRow(QStringLiteral("Zenon")), -1);

        sheet.Rows[1].Average = 1;
        sheet.Rows[3].Average = 475;
        sheet.Rows[2].FailSubjects = QStringLiteral("Chemia");
        sheet.MarkRows({1, 2}, MarkExemplaryConduct);
        sheet.Rows[3].ConductGrade = QStringLiteral("naganna");
        QCOMPARE(sheet.CollectPupils(FilterAverage),
                 (QStringList{QStringLiteral("Piotr"), QStringLiteral("Rafał")}));
        QCOMPARE(sheet.CollectPupils(FilterFailSubjects), QStringList{QStringLiteral("Ola")});
        QCOMPARE(sheet.CollectPupils(FilterFullAttendance), QStringList());
        QCOMPARE(sheet.CollectPupils(FilterExemplaryConduct),
                 (QStringList{QStringLiteral("Piotr"), QStringLiteral("Ola")}));
        QCOMPARE(sheet.CollectPupils(FilterConductGrade), QStringList{QStringLiteral("Rafał")});

        QCOMPARE(sheet.CountMarks(MarkAverage), 2);
        QCOMPARE(sheet.AverageCount, 2);
        QCOMPARE(sheet.CountMarks(MarkExemplaryConduct), 2);
        QCOMPARE(sheet.ExemplaryConductCount, 2);
        QCOMPARE(sheet.CountMarks(MarkFullAttendance), 0);
    }

    void justificationsStoredShownAndCounted()
    {
        _KlasaFull sheet =
            sheetOf({QStringLiteral("Ala"), QStringLiteral("Bolek"), QStringLiteral("Celina")});
        const QStringList memo{QStringLiteral("Wagary."), QString(), QStringLiteral("Bójki.")};
        sheet.StoreJustificationForPupils(
            JustificationKind::Conduct,
            {QStringLiteral("Celina"), QStringLiteral("Nikt"), QStringLiteral("Ala")},
            QStringLiteral("naganna"), memo);
        QCOMPARE(sheet.Rows.at(0).ConductJustification, QStringLiteral("Wagary.&&Bójki.&"));
        QCOMPARE(sheet.Rows.at(2).ConductGrade, QStringLiteral("naganna"));
        QVERIFY(sheet.Rows.at(0).FailJustification.isEmpty()); // the other kind is untouched
        // An empty line comes back as one blank, so the memo shows it as a line.
        QCOMPARE(sheet.JustificationToLines(JustificationKind::Conduct, 0),
                 (QStringList{QStringLiteral("Wagary."), QStringLiteral(" "), QStringLiteral("Bójki.")}));
        QCOMPARE(sheet.CountJustifications(JustificationKind::Conduct), 2);
        QCOMPARE(sheet.ConductJustificationCount, 2);
        QCOMPARE(sheet.CountJustifications(JustificationKind::FailingGrade), 0);
        QCOMPARE(sheet.FailCount, 0);

        QCOMPARE(sheet.FirstJustifiedPupil(
                     JustificationKind::Conduct,
                     {QStringLiteral("Bolek"), QStringLiteral("Celina"), QStringLiteral("Ala")}),
                 QStringLiteral("Celina"));
        QCOMPARE(sheet.FirstJustifiedPupil(JustificationKind::FailingGrade, {QStringLiteral("Ala")}),
                 QString());

        sheet.StoreJustification(JustificationKind::FailingGrade, 1, QStringLiteral("Fizyka"),
                                 {QStringLiteral("Brak prac.")});
        QCOMPARE(sheet.Rows.at(1).FailSubjects, QStringLiteral("Fizyka"));
        QCOMPARE(sheet.Rows.at(1).FailJustification, QStringLiteral("Brak prac.&"));
        sheet.ClearJustification(JustificationKind::FailingGrade, 1);
        QVERIFY(sheet.Rows.at(1).FailSubjects.isEmpty() && sheet.Rows.at(1).FailJustification.isEmpty());

        // Rows outside the class are ignored rather than written.
        sheet.SetJustification(JustificationKind::Conduct, 3, QStringLiteral("x"), QStringLiteral("y&"));
        sheet.SetJustification(JustificationKind::Conduct, -1, QStringLiteral("x"), QStringLiteral("y&"));
        QCOMPARE(sheet.Rows.size(), 3);
    }

    void deletionAsksAndOnlyYesDeletes()
    {
        _KlasaFull sheet = sheetOf({QStringLiteral("Ala"), QStringLiteral("Bolek")});
        sheet.SetJustification(JustificationKind::Conduct, 1, QStringLiteral("naganna"),
                               QStringLiteral("Bójki.&"));
        MessageRecorder recorder;
        recorder.scriptAnswers({AnswerNo, AnswerCancel, AnswerClose, AnswerYes});
        for (int i = 0; i < 3; ++i)
            QVERIFY(!sheet.ConfirmDeleteJustification(JustificationKind::Conduct, QStringLiteral("Bolek")));
        QCOMPARE(sheet.Rows.at(1).ConductJustification, QStringLiteral("Bójki.&"));
        QVERIFY(sheet.ConfirmDeleteJustification(JustificationKind::Conduct, QStringLiteral("Bolek")));
        QVERIFY(sheet.Rows.at(1).ConductGrade.isEmpty() && sheet.Rows.at(1).ConductJustification.isEmpty());
        QCOMPARE(recorder.messages().size(), 4);
        QCOMPARE(recorder.messages().at(0).kind, int(KindQuestion));
        QCOMPARE(recorder.messages().at(0).icon, int(IconQuestion));
        QCOMPARE(recorder.texts().at(0), QStringLiteral("Czy rzeczywiście usunąć uzasadnienie dla: Bolek?"));

        // No row, no question.
        QVERIFY(!sheet.ConfirmDeleteJustification(JustificationKind::Conduct, QStringLiteral("Nikt")));
        QCOMPARE(recorder.messages().size(), 4);
    }

    void groupingGathersEqualTextsOnce()
    {
        _KlasaFull sheet =
            sheetOf({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
        const QString text = QStringLiteral("Spóźnienia.&");
        for (int r : {0, 1, 3})
            sheet.SetJustification(JustificationKind::FailingGrade, r, QStringLiteral("Fizyka"), text);
        // Differs only in letter case: not the same text.
        sheet.SetJustification(JustificationKind::FailingGrade, 2, QStringLiteral("Fizyka"),
                               QStringLiteral("spóźnienia.&"));

        QStringList group;
        QVERIFY(sheet.GroupSameJustification(JustificationKind::FailingGrade, 0, group));
        QCOMPARE(group, (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("D")}));
        QVERIFY(!sheet.Rows.at(0).Grouped);
        QVERIFY(sheet.Rows.at(1).Grouped && sheet.Rows.at(3).Grouped && !sheet.Rows.at(2).Grouped);
        // The second row's later partner is already taken.
        QVERIFY(!sheet.GroupSameJustification(JustificationKind::FailingGrade, 1, group));
        QCOMPARE(group, QStringList{QStringLiteral("B")});
        // The conduct texts are all empty and so all equal.
        sheet.ClearGroupedMarks();
        QVERIFY(sheet.GroupSameJustification(JustificationKind::Conduct, 2, group));
        QCOMPARE(group, (QStringList{QStringLiteral("C"), QStringLiteral("D")}));
        sheet.ClearGroupedMarks();
        for (const _UczenFull& u : sheet.Rows)
            QVERIFY(!u.Grouped);
    }
};

QTEST_GUILESS_MAIN(TestKlasaFull)
#include "tst_klasafull.moc"
