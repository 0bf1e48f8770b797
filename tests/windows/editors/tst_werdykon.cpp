#include "WerdykonSteps.h"
#include "core/AppState.h"
#include "core/Hints.h"
#include "core/KlasaFull.h"
#include "core/SchoolData.h"
#include "encoding/TextCodec.h"
#include "support/MessageRecorder.h"
#include "support/ModalAnswer.h"
#include "support/TestPaths.h"
#include "windows/delivery/UBrowser.h"
#include "windows/editors/UEditNdst.h"
#include "windows/editors/UEditSrednie.h"
#include "windows/editors/UWerdykon.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QAccessible>
#include <QTest>
#include <QTextBrowser>

using namespace WerdykonSteps;

class TestWerdykon : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_temp; // a fresh working folder for every test
    std::unique_ptr<TFBrowser> m_preview;
    std::unique_ptr<TFWerdykon> m_editor;

    QWidget* editor() { return m_editor.get(); }

    QString promoted() { return part<QLineEdit>(editor(), "EPromowanych")->text(); }

private Q_SLOTS:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temp->isValid());
        appState() = AppState{};
        AppState& state = appState();
        state.TempFolder = m_temp->path() + QLatin1Char('/');
        state.TeacherName = QStringLiteral("Kowalska Anna");
        state.MachineSignature = QStringLiteral("SALA12 nauczyciel Windows 10");
        state.SubjectNames = goldenSubjects();
        schoolData() = SchoolData{};
        schoolData().Classes = goldenSchool();
        m_preview = std::make_unique<TFBrowser>();
        m_editor = std::make_unique<TFWerdykon>(m_preview.get());
        m_editor->ShowEditor();
    }

    void cleanup()
    {
        m_editor.reset();
        m_preview.reset();
        m_temp.reset();
    }

    void startsOnTheFirstClassWithItsCounts()
    {
        QCOMPARE(appState().HintGroup, int(HintGroupClassEditors));
        QCOMPARE(appState().HintCount, 4);
        auto* classes = part<QComboBox>(editor(), "CListaKlasOgolne");
        QCOMPARE(classes->count(), 3);
        QCOMPARE(classes->currentText(), QStringLiteral("IIIb <gim>"));
        QCOMPARE(part<QLineEdit>(editor(), "EKlasyfikowanych")->text(), QStringLiteral("6"));
        QCOMPARE(promoted(), QStringLiteral("6"));
        QCOMPARE(items(editor(), "LUczniowieNdst").size(), 6);
        QVERIFY(part(editor(), "POgolne")->isVisible());
        // The current tab is the selected page; its label stays enabled.
        QVERIFY(part<QLabel>(editor(), "LOgolne")->isEnabled());
        QVERIFY(QAccessible::queryAccessibleInterface(part(editor(), "LOgolne"))->state().selected);

        // Tab 3 shows its panel, moves the strip and focuses the first pupil.
        click(editor(), "LSrednie");
        QVERIFY(part(editor(), "PSrednie")->isVisible());
        QVERIFY(!part(editor(), "POgolne")->isVisible());
        QCOMPARE(part(editor(), "ImZakladki")->y(), -48);
        QCOMPARE(part<QListWidget>(editor(), "LUczniowieSrednie")->currentRow(), 0);

        // The promoted count takes digits, "." and Backspace only.
        auto* count = part<QLineEdit>(editor(), "EPromowanych");
        count->clear();
        QTest::keyClicks(count, QStringLiteral("4a,b.5"));
        QTest::keyClick(count, Qt::Key_Return);
        QCOMPARE(count->text(), QStringLiteral("4.5"));
    }

    void listsKeepOneEntryPerPupilAndReplaceItsValue()
    {
        MessageRecorder messages;
        click(editor(), "LFrekwencja");
        click(editor(), "LDodajFrekwencja");
        QCOMPARE(messages.texts(), QStringList{kChooseAttendance});
        choose(editor(), "LUczniowieFrekwencja", {QStringLiteral("Dąbrowska Żaneta")});
        click(editor(), "LDodajFrekwencja");
        // Three at once, one already there: class order, no repeat.
        choose(editor(), "LUczniowieFrekwencja",
               {QStringLiteral("Wiśniewska Ewa"), QStringLiteral("Adamczyk Łukasz"),
                QStringLiteral("Dąbrowska Żaneta")});
        click(editor(), "LDodajFrekwencja");
        QCOMPARE(items(editor(), "L100Frekwencja"),
                 (QStringList{QStringLiteral("Dąbrowska Żaneta"), QStringLiteral("Adamczyk Łukasz"),
                              QStringLiteral("Wiśniewska Ewa")}));
        QCOMPARE(klasaFull().CollectPupils(FilterFullAttendance).size(), 3);

        click(editor(), "LSrednie");
        addAverage(editor(), QStringLiteral("Bąk Zofia"), QStringLiteral("5,5"));
        addAverage(editor(), QStringLiteral("Bąk Zofia"), QStringLiteral("4,75"));
        QCOMPARE(items(editor(), "LSrednieZPaskiem"), QStringList{QStringLiteral("Bąk Zofia")});
        QCOMPARE(klasaFull().Rows[1].Average, 475);
        // A cancelled dialog changes nothing.
        choose(editor(), "LUczniowieSrednie", {QStringLiteral("Bąk Zofia")});
        ModalAnswer cancel([](QWidget* dialog) { click(dialog, "LAnuluj"); });
        click(editor(), "LDodajSrednie");
        QVERIFY(cancel.ran());
        QCOMPARE(klasaFull().Rows[1].Average, 475);

        click(editor(), "LNdst");
        addFailing(editor(), QStringLiteral("Cieślak Michał"), {QStringLiteral("Matematyka")});
        addFailing(editor(), QStringLiteral("Cieślak Michał"),
                   {QStringLiteral("Język polski"), QStringLiteral("Matematyka")});
        QCOMPARE(items(editor(), "LNiedostateczni"), QStringList{QStringLiteral("Cieślak Michał")});
        QCOMPARE(klasaFull().Rows[2].FailSubjects, QStringLiteral("Matematyka, Język polski"));

        // Removing: the two refusals, then the row is cleared.
        messages.clear();
        auto* failing = part<QListWidget>(editor(), "LNiedostateczni");
        failing->clearSelection();
        click(editor(), "LUsunNdst");
        failing->item(0)->setSelected(true);
        click(editor(), "LUsunNdst");
        QVERIFY(klasaFull().Rows[2].FailSubjects.isEmpty());
        click(editor(), "LUsunNdst");
        QCOMPARE(messages.texts(), (QStringList{kChooseToRemove, kNothingToRemove}));
        for (const MessageRecorder::Message& m : messages.messages())
            QVERIFY(m.kind == KindNotice && m.icon == IconWarning);

        auto* attendance = part<QListWidget>(editor(), "L100Frekwencja");
        attendance->setCurrentRow(1);
        click(editor(), "LUsunFrekwencja");
        QVERIFY(!klasaFull().Rows[0].FullAttendance);
        QVERIFY(klasaFull().Rows[3].FullAttendance);
    }

    void enterAndDoubleClickAddToo()
    {
        click(editor(), "LSrednie");
        auto* pupils = part<QListWidget>(editor(), "LUczniowieSrednie");
        choose(editor(), "LUczniowieSrednie", {QStringLiteral("Cieślak Michał")});
        ModalAnswer enter([](QWidget* dialog) {
            QTest::keyClick(part<QLineEdit>(dialog, "EWartoscSredniej"), Qt::Key_Return);
        });
        QTest::keyClick(pupils, Qt::Key_Return);
        QVERIFY(enter.ran());
        QCOMPARE(items(editor(), "LSrednieZPaskiem"), QStringList{QStringLiteral("Cieślak Michał")});
        QCOMPARE(klasaFull().Rows[2].Average, 500);

        // An Enter released over the list whose press went elsewhere (to a dialog
        // that closed on it) adds nobody.
        choose(editor(), "LUczniowieSrednie", {QStringLiteral("Bąk Zofia")});
        QTest::keyRelease(pupils, Qt::Key_Return);
        QCOMPARE(items(editor(), "LSrednieZPaskiem").size(), 1);

        click(editor(), "LFrekwencja");
        auto* attendance = part<QListWidget>(editor(), "LUczniowieFrekwencja");
        const QRect place = attendance->visualItemRect(attendance->item(1));
        QTest::mouseClick(attendance->viewport(), Qt::LeftButton, {}, place.center());
        QTest::mouseDClick(attendance->viewport(), Qt::LeftButton, {}, place.center());
        QCOMPARE(items(editor(), "L100Frekwencja"), QStringList{QStringLiteral("Bąk Zofia")});
    }

    void aClassWithoutAveragesOpensNoDialog()
    {
        part<QComboBox>(editor(), "CListaKlasOgolne")->setCurrentIndex(1);
        QCOMPARE(appState().CurrentClassIndex, 1);
        click(editor(), "LSrednie");
        choose(editor(), "LUczniowieSrednie", {QStringLiteral("Zięba Olek")});
        {
            // Should a dialog open, it is closed at once and the test fails.
            ModalAnswer unexpected([](QWidget* modal) { modal->close(); }, 500);
            click(editor(), "LDodajSrednie");
            QVERIFY(!unexpected.ran());
        }
        QCOMPARE(items(editor(), "LSrednieZPaskiem"), QStringList{QStringLiteral("Zięba Olek")});
        QCOMPARE(klasaFull().Rows[1].Average, 1);

        QVERIFY(m_editor->FinishReport());
        const QString document = QString::fromLatin1(withoutDate(
            readAll(appState().TempFolder + appState().DocumentFileName + QStringLiteral(".xml"))));
        QVERIFY(document.contains(QStringLiteral("<Srednia>1</Srednia>")));
        const QString page = m_preview->findChild<QTextBrowser*>(QStringLiteral("WebBrowser"))->toPlainText();
        QVERIFY2(page.contains(QRegularExpression(QStringLiteral("Zi\\S+ba Olek\\s*\\n"))), qPrintable(page));

        // A class without pupils: the add labels do nothing.
        m_editor->ShowEditor();
        part<QComboBox>(editor(), "CListaKlasOgolne")->setCurrentIndex(2);
        click(editor(), "LSrednie");
        click(editor(), "LDodajSrednie");
        click(editor(), "LNdst");
        click(editor(), "LDodajNdst");
        QVERIFY(items(editor(), "LSrednieZPaskiem").isEmpty());
        QVERIFY(items(editor(), "LNiedostateczni").isEmpty());
    }

    void changingClassDiscardsWhatWasEntered()
    {
        click(editor(), "LSrednie");
        addAverage(editor(), QStringLiteral("Adamczyk Łukasz"), QStringLiteral("5"));
        click(editor(), "LFrekwencja");
        choose(editor(), "LUczniowieFrekwencja", {QStringLiteral("Bąk Zofia")});
        click(editor(), "LDodajFrekwencja");
        click(editor(), "LNdst");
        addFailing(editor(), QStringLiteral("Cieślak Michał"), {QStringLiteral("Matematyka")});
        part<QLineEdit>(editor(), "EPromowanych")->setText(QStringLiteral("3"));
        part<QLineEdit>(editor(), "EKlasyfikowanych")->setText(QStringLiteral("5"));

        MessageRecorder messages;
        messages.scriptAnswers({AnswerYes});
        part<QComboBox>(editor(), "CListaKlasOgolne")->setCurrentIndex(1);
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY(items(editor(), "L100Frekwencja").isEmpty());
        QVERIFY(items(editor(), "LSrednieZPaskiem").isEmpty());
        QVERIFY(items(editor(), "LNiedostateczni").isEmpty());
        QCOMPARE(promoted(), QStringLiteral("2"));
        QCOMPARE(part<QLineEdit>(editor(), "EKlasyfikowanych")->text(), QStringLiteral("2"));
        QVERIFY(klasaFull().CollectPupils(FilterFailSubjects).isEmpty());
        QCOMPARE(items(editor(), "LUczniowieSrednie"),
                 (QStringList{QStringLiteral("Nowak Ida"), QStringLiteral("Zięba Olek")}));
        QVERIFY(klasaFull().CollectPupils(FilterAverage).isEmpty());
        QVERIFY(klasaFull().CollectPupils(FilterFullAttendance).isEmpty());
    }

    void anEmptyCountStopsTheReport()
    {
        MessageRecorder messages;
        part<QLineEdit>(editor(), "EPromowanych")->clear();
        QVERIFY(!m_editor->FinishReport());
        QCOMPARE(messages.texts(), QStringList{kIncomplete});
        // Input errors are notices with the warning icon.
        QCOMPARE(messages.messages().first().kind, int(KindNotice));
        QCOMPARE(messages.messages().first().icon, int(IconWarning));
        QVERIFY(m_editor->isVisible());
        QVERIFY(!m_preview->isVisible());
        QVERIFY(!QFile::exists(appState().TempFolder + QStringLiteral("Klas.htm")));
    }

    // The whole report entered through the window, in an order other than the class
    // order, against the document and page worked out by hand.
    void writesTheReportOfTheGoldenCase()
    {
        const QString golden = TestPaths::testData(QStringLiteral("document/golden/werdykon/"));
        QVERIFY(QFile::exists(golden + QStringLiteral("expected.xml")));

        enterGoldenCase(editor());

        MessageRecorder messages;
        QVERIFY(m_editor->FinishReport());
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(!m_editor->isVisible());
        QVERIFY(m_preview->isVisible());
        QCOMPARE(m_preview->LoadedPath(), appState().TempFolder + QStringLiteral("Klas.htm"));
        QCOMPARE(appState().DocumentFileName, QStringLiteral("Werdykon_IIIb -gim-_Kowalska Anna"));

        const QString documentPath =
            appState().TempFolder + appState().DocumentFileName + QStringLiteral(".xml");
        const QByteArray document = readAll(documentPath);
        QCOMPARE(withoutDate(document), withoutDate(readAll(golden + QStringLiteral("expected.xml"))));
        QCOMPARE(readAll(appState().TempFolder + QStringLiteral("Klas.htm")),
                 readAll(golden + QStringLiteral("expected.htm")));
        const QString page = m_preview->findChild<QTextBrowser*>(QStringLiteral("WebBrowser"))->toPlainText();
        QVERIFY(page.contains(QStringLiteral("Dąbrowska Żaneta - 4,75")));

        // Back from the preview: everything is still there, and forward again writes
        // the same report.
        m_preview->CloseStepWindow();
        appState().NavigatingBack = true;
        m_editor->ShowEditor();
        QVERIFY(part(editor(), "POgolne")->isVisible());
        QCOMPARE(promoted(), QStringLiteral("4"));
        QCOMPARE(items(editor(), "LSrednieZPaskiem").size(), 3);
        QFile::remove(documentPath);
        QVERIFY(m_editor->FinishReport());
        QCOMPARE(withoutDate(readAll(documentPath)), withoutDate(document));

        // A new opening from the topic list starts empty.
        appState().NavigatingBack = false;
        m_editor->ShowEditor();
        QVERIFY(items(editor(), "L100Frekwencja").isEmpty());
        QVERIFY(items(editor(), "LSrednieZPaskiem").isEmpty());
        QVERIFY(items(editor(), "LNiedostateczni").isEmpty());
        QVERIFY(klasaFull().CollectPupils(FilterFailSubjects).isEmpty());
        QCOMPARE(promoted(), QStringLiteral("6"));
    }
};

QTEST_MAIN(TestWerdykon)
#include "tst_werdykon.moc"
