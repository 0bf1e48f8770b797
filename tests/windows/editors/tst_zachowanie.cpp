#include "ZachowanieSteps.h"
#include "core/AppState.h"
#include "core/Hints.h"
#include "core/KlasaFull.h"
#include "core/SchoolData.h"
#include "support/MessageRecorder.h"
#include "support/ModalAnswer.h"
#include "support/TestPaths.h"
#include "windows/delivery/UBrowser.h"
#include "windows/editors/UNaganneEdycja.h"
#include "windows/editors/UZachowanie.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QAccessible>
#include <QTest>
#include <QTextBrowser>

using namespace ZachowanieSteps;

class TestZachowanie : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    std::unique_ptr<TFBrowser> m_preview;
    std::unique_ptr<TFEdytujZachowanie> m_dialog;
    std::unique_ptr<TFZachowania> m_editor;

    QWidget* editor() { return m_editor.get(); }
    _UczenFull& row(int index) { return klasaFull().Rows[index]; }
    QListWidget* lowered() { return part<QListWidget>(editor(), "LNaganni"); }

    void selectIn(const char* listName, const QString& name)
    {
        auto* list = part<QListWidget>(editor(), listName);
        list->clearSelection();
        const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        found.first()->setSelected(true);
    }

    QByteArray document()
    {
        return readAll(appState().TempFolder + appState().DocumentFileName + QStringLiteral(".xml"));
    }

private Q_SLOTS:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temp->isValid());
        appState() = AppState{};
        AppState& state = appState();
        state.TempFolder = m_temp->path() + QLatin1Char('/');
        state.TeacherName = QStringLiteral("Nowak Jan");
        state.MachineSignature = QStringLiteral("SALA12 nauczyciel Windows 10");
        schoolData() = SchoolData{};
        schoolData().Classes = ZachowanieSteps::goldenSchool();
        m_preview = std::make_unique<TFBrowser>();
        m_dialog = std::make_unique<TFEdytujZachowanie>();
        m_editor = std::make_unique<TFZachowania>(m_dialog.get(), m_preview.get());
        m_editor->ShowEditor();
    }

    void cleanup()
    {
        m_editor.reset();
        m_dialog.reset();
        m_preview.reset();
        m_temp.reset();
    }

    void startsOnTheFirstClassAndSwitchesTabs()
    {
        QCOMPARE(appState().HintGroup, int(HintGroupClassEditors));
        QCOMPARE(appState().HintCount, 4);
        auto* classes = part<QComboBox>(editor(), "CListaKlasOgolne");
        QCOMPARE(classes->count(), 2);
        QCOMPARE(classes->currentText(), QStringLiteral("IIa"));
        QCOMPARE(part<QLineEdit>(editor(), "EKlasyfikowanych")->text(), QStringLiteral("5"));
        QVERIFY(part<QLineEdit>(editor(), "EKlasyfikowanych")->isReadOnly());
        QCOMPARE(items(editor(), "LUczniowieWzorowe").size(), 5);
        QCOMPARE(items(editor(), "LUczniowieNaganne"), items(editor(), "LUczniowieWzorowe"));
        QVERIFY(part<QListWidget>(editor(), "LUczniowieNaganne")->selectedItems().isEmpty());
        QVERIFY(part(editor(), "POgolne")->isVisible());
        // The current tab is the selected page; its label stays enabled.
        QVERIFY(part<QLabel>(editor(), "LOgolne")->isEnabled());
        QVERIFY(QAccessible::queryAccessibleInterface(part(editor(), "LOgolne"))->state().selected);

        const char* panels[] = {"POgolne", "PWzorowi", "PObnizone"};
        const char* labels[] = {"LOgolne", "LFrekwencja", "LSrednie"};
        for (int tab : {2, 3, 1}) {
            click(editor(), labels[tab - 1]);
            QCOMPARE(part(editor(), "ImZakladki")->y(), -24 * (tab - 1));
            for (int other = 0; other < 3; ++other) {
                QCOMPARE(part(editor(), panels[other])->isVisible(), other == tab - 1);
                QCOMPARE(bool(QAccessible::queryAccessibleInterface(part(editor(), labels[other]))->state().selected),
                         other == tab - 1);
            }
        }
    }

    void exemplaryListKeepsOneEntryPerPupil()
    {
        MessageRecorder messages;
        click(editor(), "LFrekwencja");
        click(editor(), "LDodajWzorowego");
        QCOMPARE(messages.texts(), QStringList{kChooseExemplary});
        addExemplary(editor(), {QStringLiteral("Kruk Szymon")});
        addExemplary(editor(), {QStringLiteral("Żak Tadeusz"), QStringLiteral("Baran Kinga"),
                                QStringLiteral("Kruk Szymon")});
        QCOMPARE(items(editor(), "LWzorowi"),
                 (QStringList{QStringLiteral("Kruk Szymon"), QStringLiteral("Baran Kinga"),
                              QStringLiteral("Żak Tadeusz")}));
        QCOMPARE(klasaFull().CollectPupils(FilterExemplaryConduct),
                 (QStringList{QStringLiteral("Baran Kinga"), QStringLiteral("Kruk Szymon"),
                              QStringLiteral("Żak Tadeusz")}));

        messages.clear();
        auto* listed = part<QListWidget>(editor(), "LWzorowi");
        listed->clearSelection();
        click(editor(), "LUsunWzorowego");
        selectIn("LWzorowi", QStringLiteral("Baran Kinga"));
        click(editor(), "LUsunWzorowego");
        QVERIFY(!row(0).ExemplaryConduct);
        QVERIFY(row(3).ExemplaryConduct);
        QCOMPARE(items(editor(), "LWzorowi"),
                 (QStringList{QStringLiteral("Kruk Szymon"), QStringLiteral("Żak Tadeusz")}));
        for (int i = 0; i < 2; ++i) {
            listed->setCurrentRow(0);
            click(editor(), "LUsunWzorowego");
        }
        click(editor(), "LUsunWzorowego");
        QCOMPARE(messages.texts(),
                 (QStringList{QStringLiteral("Wskaż na liście po prawej ucznia, którego chcesz usunąć."),
                              kNothingToRemove}));
        for (const MessageRecorder::Message& m : messages.messages())
            QVERIFY(m.kind == KindNotice && m.icon == IconWarning);
        QVERIFY(klasaFull().CollectPupils(FilterExemplaryConduct).isEmpty());

        // A double click adds too.
        auto* pupils = part<QListWidget>(editor(), "LUczniowieWzorowe");
        const QRect place = pupils->visualItemRect(pupils->item(1));
        QTest::mouseClick(pupils->viewport(), Qt::LeftButton, {}, place.center());
        QTest::mouseDClick(pupils->viewport(), Qt::LeftButton, {}, place.center());
        QCOMPARE(items(editor(), "LWzorowi"), QStringList{QStringLiteral("Czarnecki Olaf")});
    }

    void aLoweredGradeForSeveralPupilsAtOnce()
    {
        MessageRecorder messages;
        click(editor(), "LSrednie");
        click(editor(), "LDodajObnizone");
        QCOMPARE(messages.texts(), QStringList{kChooseLowered});
        messages.clear();

        // The dialog offers exactly the two grades, starts on the milder one, and
        // refuses an empty text while staying open.
        choose(editor(), "LUczniowieNaganne",
               {QStringLiteral("Żak Tadeusz"), QStringLiteral("Baran Kinga"), QStringLiteral("Kruk Szymon")});
        Shown shown;
        QStringList grades;
        ModalAnswer answer([&](QWidget* dialog) {
            auto* box = part<QComboBox>(dialog, "COcena");
            for (int i = 0; i < box->count(); ++i)
                grades << box->itemText(i);
            click(dialog, "LWprowadz");
            QVERIFY(dialog->isVisible());
            answerGrade(dialog, QStringLiteral("naganna"),
                        {QStringLiteral("Bójki."), QString(), QStringLiteral("Wagary.")}, &shown);
        });
        click(editor(), "LDodajObnizone");
        QVERIFY(answer.ran() && !answer.leftOpen());
        QCOMPARE(grades, (QStringList{QStringLiteral("nieodpowiednia"), QStringLiteral("naganna")}));
        QCOMPARE(messages.texts(), QStringList{kNoText});
        QCOMPARE(shown.pupils, QStringLiteral("Uczniowie: Baran Kinga, Kruk Szymon, Żak Tadeusz"));
        QCOMPARE(shown.grade, QStringLiteral("nieodpowiednia"));
        QVERIFY(shown.text.isEmpty());
        QCOMPARE(appState().ChosenConductGrade, QStringLiteral("naganna"));
        QCOMPARE(items(editor(), "LNaganni"),
                 (QStringList{QStringLiteral("Baran Kinga"), QStringLiteral("Kruk Szymon"),
                              QStringLiteral("Żak Tadeusz")}));
        for (int i : {0, 3, 4}) {
            QCOMPARE(row(i).ConductGrade, QStringLiteral("naganna"));
            QCOMPARE(row(i).ConductJustification, QStringLiteral("Bójki.&&Wagary.&"));
        }

        // One of the chosen pupils already justified: nobody is added, the first such
        // pupil in list order is named.
        messages.clear();
        choose(
            editor(), "LUczniowieNaganne",
            {QStringLiteral("Czarnecki Olaf"), QStringLiteral("Kruk Szymon"), QStringLiteral("Żak Tadeusz")});
        {
            ModalAnswer unexpected([](QWidget* modal) { modal->close(); }, 300);
            click(editor(), "LDodajObnizone");
            QVERIFY(!unexpected.ran());
        }
        QCOMPARE(messages.texts(), QStringList{alreadyJustified(QStringLiteral("Kruk Szymon"))});
        QVERIFY(row(1).ConductGrade.isEmpty());

        // A cancelled dialog writes nothing, once its typed text is given up.
        choose(editor(), "LUczniowieNaganne", {QStringLiteral("Czarnecki Olaf")});
        messages.scriptAnswers({AnswerYes});
        ModalAnswer cancel([](QWidget* dialog) {
            part<QPlainTextEdit>(dialog, "MUzasadnienie")->insertPlainText(QStringLiteral("x"));
            click(dialog, "LAnuluj");
        });
        click(editor(), "LDodajObnizone");
        QVERIFY(cancel.ran() && !cancel.leftOpen());
        QVERIFY(row(1).ConductJustification.isEmpty());
        QCOMPARE(items(editor(), "LNaganni").size(), 3);

        // The three appear once in the report, as one entry.
        QVERIFY(m_editor->FinishReport());
        const QString page = m_preview->findChild<QTextBrowser*>(QStringLiteral("WebBrowser"))->toPlainText();
        QVERIFY2(page.contains(QStringLiteral("Uczniowie: Baran Kinga, Kruk Szymon, Żak Tadeusz.")),
                 qPrintable(page));
        QVERIFY(document().contains("<Ilosc>1</Ilosc>"));
    }

    void editingAndRemovingTouchOnlyThatPupil()
    {
        MessageRecorder messages;
        click(editor(), "LSrednie");
        click(editor(), "LEdytujObnizone");
        click(editor(), "LUsunObnizone");
        addLowered(
            editor(),
            {QStringLiteral("Baran Kinga"), QStringLiteral("Kruk Szymon"), QStringLiteral("Żak Tadeusz")},
            QStringLiteral("naganna"), {QStringLiteral("Wspólny."), QString(), QStringLiteral("Tekst.")});
        lowered()->clearSelection();
        click(editor(), "LEdytujObnizone");
        click(editor(), "LUsunObnizone");
        QCOMPARE(messages.texts(),
                 (QStringList{kNothingToEdit, kNothingToRemove, kChooseToEdit, kChooseToRemoveText}));
        messages.clear();

        // The edit shows the row's grade and text (an empty line as one blank) and
        // changes that pupil only.
        selectIn("LNaganni", QStringLiteral("Kruk Szymon"));
        Shown shown;
        ModalAnswer edit([&](QWidget* dialog) {
            answerGrade(dialog, QStringLiteral("nieodpowiednia"), {QStringLiteral("Poprawa.")}, &shown);
        });
        click(editor(), "LEdytujObnizone");
        QVERIFY(edit.ran() && !edit.leftOpen());
        QCOMPARE(shown.pupils, QStringLiteral("Uczeń: Kruk Szymon"));
        QCOMPARE(shown.grade, QStringLiteral("naganna"));
        QCOMPARE(shown.text, QStringLiteral("Wspólny.\n \nTekst."));
        QCOMPARE(appState().CurrentPupilIndex, 3);
        QCOMPARE(row(3).ConductGrade, QStringLiteral("nieodpowiednia"));
        QCOMPARE(row(3).ConductJustification, QStringLiteral("Poprawa.&"));
        QCOMPARE(row(0).ConductJustification, QStringLiteral("Wspólny.&&Tekst.&"));
        QCOMPARE(row(4).ConductGrade, QStringLiteral("naganna"));

        // The same text and grade typed separately groups; a text differing only in
        // letter case does not.
        addLowered(editor(), {QStringLiteral("Gołębiowska Iga")}, QStringLiteral("nieodpowiednia"),
                   {QStringLiteral("poprawa.")});
        QVERIFY(m_editor->FinishReport());
        const QString page = m_preview->findChild<QTextBrowser*>(QStringLiteral("WebBrowser"))->toPlainText();
        QVERIFY2(page.contains(QStringLiteral("Uczniowie: Baran Kinga, Żak Tadeusz.")), qPrintable(page));
        QVERIFY(page.contains(QStringLiteral("Uczeń: Kruk Szymon")));
        QVERIFY(page.contains(QStringLiteral("Uczeń: Gołębiowska Iga")));
        QVERIFY(document().contains("<Ilosc>3</Ilosc>"));

        // Removing asks; Nie and Anuluj keep the text, Tak removes it for that pupil
        // only and the list comes back in class order.
        appState().NavigatingBack = true;
        m_editor->ShowEditor();
        messages.scriptAnswers({AnswerNo, AnswerCancel, AnswerYes});
        for (int attempt = 0; attempt < 3; ++attempt) {
            selectIn("LNaganni", QStringLiteral("Baran Kinga"));
            click(editor(), "LUsunObnizone");
            if (attempt < 2)
                QCOMPARE(row(0).ConductGrade, QStringLiteral("naganna"));
        }
        const QString question = QStringLiteral("Czy rzeczywiście usunąć uzasadnienie dla: Baran Kinga?");
        QCOMPARE(messages.texts(), (QStringList{question, question, question}));
        for (const MessageRecorder::Message& m : messages.messages())
            QVERIFY(m.kind == KindQuestion && m.icon == IconQuestion);
        QVERIFY(row(0).ConductGrade.isEmpty() && row(0).ConductJustification.isEmpty());
        QCOMPARE(row(4).ConductJustification, QStringLiteral("Wspólny.&&Tekst.&"));
        const QStringList rest{QStringLiteral("Gołębiowska Iga"), QStringLiteral("Kruk Szymon"),
                               QStringLiteral("Żak Tadeusz")};
        QCOMPARE(items(editor(), "LNaganni"), rest);
        QCOMPARE(appState().SelectedPupils, rest);
    }

    void classChangeAndNewDocumentLeaveNothingBehind()
    {
        addExemplary(editor(), {QStringLiteral("Baran Kinga")});
        addLowered(editor(), {QStringLiteral("Kruk Szymon")}, QStringLiteral("naganna"),
                   {QStringLiteral("Tekst.")});
        part<QPlainTextEdit>(editor(), "MInneUwagi")->setPlainText(QStringLiteral("Uwaga."));

        MessageRecorder messages;
        messages.scriptAnswers({AnswerYes});
        part<QComboBox>(editor(), "CListaKlasOgolne")->setCurrentIndex(1);
        QCOMPARE(messages.messages().size(), 1);
        messages.clear();
        QCOMPARE(appState().CurrentClassIndex, 1);
        QCOMPARE(part<QLineEdit>(editor(), "EKlasyfikowanych")->text(), QStringLiteral("2"));
        QVERIFY(items(editor(), "LWzorowi").isEmpty());
        QVERIFY(items(editor(), "LNaganni").isEmpty());
        QVERIFY(part<QPlainTextEdit>(editor(), "MInneUwagi")->toPlainText().isEmpty());
        QCOMPARE(items(editor(), "LUczniowieNaganne"),
                 (QStringList{QStringLiteral("Lis Ala"), QStringLiteral("Mak Jan")}));

        // Remarks go in under their heading.
        part<QPlainTextEdit>(editor(), "MInneUwagi")
            ->setPlainText(QStringLiteral("Klasa zgrana.\nDużo wycieczek."));
        QVERIFY(m_editor->FinishReport());
        const QString page = m_preview->findChild<QTextBrowser*>(QStringLiteral("WebBrowser"))->toPlainText();
        QVERIFY(page.contains(QStringLiteral("Uwagi o pracy:")));
        QVERIFY(page.contains(QStringLiteral("brak takich ocen w tej klasie.")));
        QCOMPARE(appState().DocumentFileName, QStringLiteral("Zachowanie_IIIb_Nowak Jan"));
        QVERIFY(document().contains("<IloscWierszy>2</IloscWierszy>"));
        QVERIFY(!document().contains("Kruk"));

        // A new teacher or topic choice empties the lists and the remarks.
        m_editor->ClearEditorInputs();
        QVERIFY(items(editor(), "LWzorowi").isEmpty() && items(editor(), "LNaganni").isEmpty());
        QVERIFY(part<QPlainTextEdit>(editor(), "MInneUwagi")->toPlainText().isEmpty());

        // Without any class the count stays empty and the report is refused.
        schoolData().Classes.clear();
        appState().NavigatingBack = false;
        m_editor->ShowEditor();
        click(editor(), "LSrednie");
        QVERIFY(!m_editor->FinishReport());
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral("Niekompletne dane ogólne.\rUzupełnij proszę.")});
        QCOMPARE(messages.messages().first().icon, int(IconWarning));
        QVERIFY(part(editor(), "POgolne")->isVisible());
        QVERIFY(m_editor->isVisible());
    }

    void writesTheReportOfTheGoldenCase()
    {
        const QString golden = TestPaths::testData(QStringLiteral("document/golden/zachowanie/"));
        QVERIFY(QFile::exists(golden + QStringLiteral("expected.xml")));
        ZachowanieSteps::enterGoldenCase(editor());

        MessageRecorder messages;
        QVERIFY(m_editor->FinishReport());
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(!m_editor->isVisible());
        QVERIFY(m_preview->isVisible());
        QCOMPARE(m_preview->LoadedPath(), appState().TempFolder + QStringLiteral("Zach.htm"));
        QCOMPARE(appState().DocumentFileName, QStringLiteral("Zachowanie_IIa_Nowak Jan"));
        const QByteArray written = document();
        QCOMPARE(withoutDate(written), withoutDate(readAll(golden + QStringLiteral("expected.xml"))));
        QCOMPARE(readAll(appState().TempFolder + QStringLiteral("Zach.htm")),
                 readAll(golden + QStringLiteral("expected.htm")));
        QCOMPARE(klasaFull().ExemplaryConductCount, 2);
        QCOMPARE(klasaFull().ConductJustificationCount, 3);

        // Back from the preview: everything stays, on the first tab; forward again
        // writes the same report.
        m_preview->CloseStepWindow();
        appState().NavigatingBack = true;
        m_editor->ShowEditor();
        QVERIFY(part(editor(), "POgolne")->isVisible());
        QCOMPARE(items(editor(), "LNaganni").size(), 3);
        QCOMPARE(items(editor(), "LWzorowi").size(), 2);
        QFile::remove(appState().TempFolder + appState().DocumentFileName + QStringLiteral(".xml"));
        QVERIFY(m_editor->FinishReport());
        QCOMPARE(withoutDate(document()), withoutDate(written));

        // A new opening from the topic list starts empty.
        appState().NavigatingBack = false;
        m_editor->ShowEditor();
        QVERIFY(items(editor(), "LNaganni").isEmpty());
        QVERIFY(items(editor(), "LWzorowi").isEmpty());
        QVERIFY(klasaFull().CollectPupils(FilterConductGrade).isEmpty());
        QVERIFY(klasaFull().CollectPupils(FilterExemplaryConduct).isEmpty());
    }
};

QTEST_MAIN(TestZachowanie)
#include "tst_zachowanie.moc"
