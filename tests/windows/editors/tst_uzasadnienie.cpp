#include "UzasadnienieSteps.h"
#include "core/AppState.h"
#include "core/Hints.h"
#include "core/KlasaFull.h"
#include "core/SchoolData.h"
#include "support/MessageRecorder.h"
#include "support/ModalAnswer.h"
#include "support/TestPaths.h"
#include "windows/delivery/UBrowser.h"
#include "windows/editors/EntryDialog.h"
#include "windows/editors/UEdycjaNdst.h"
#include "windows/editors/UUzasadnienie.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using namespace UzasadnienieSteps;

class TestUzasadnienie : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    std::unique_ptr<TFBrowser> m_preview;
    std::unique_ptr<TFEdytujNdst> m_dialog;
    std::unique_ptr<TFUzasadnienie> m_editor;

    QWidget* editor() { return m_editor.get(); }
    _UczenFull& row(int index) { return klasaFull().Rows[index]; }

    QListWidget* justified() { return part<QListWidget>(editor(), "LUzasadnione"); }

    void selectJustified(const QString& name)
    {
        justified()->clearSelection();
        const QList<QListWidgetItem*> found = justified()->findItems(name, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        found.first()->setSelected(true);
    }

private Q_SLOTS:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temp->isValid());
        appState() = AppState{};
        AppState& state = appState();
        state.TempFolder = m_temp->path() + QLatin1Char('/');
        state.TeacherName = QStringLiteral("Lewandowski Marek");
        state.MachineSignature = QStringLiteral("SALA12 nauczyciel Windows 10");
        state.SubjectNames = UzasadnienieSteps::goldenSubjects();
        schoolData() = SchoolData{};
        schoolData().Classes = UzasadnienieSteps::goldenSchool();
        m_preview = std::make_unique<TFBrowser>();
        m_dialog = std::make_unique<TFEdytujNdst>();
        m_editor = std::make_unique<TFUzasadnienie>(m_dialog.get(), m_preview.get());
        m_editor->ShowEditor();
    }

    void cleanup()
    {
        m_editor.reset();
        m_dialog.reset();
        m_preview.reset();
        m_temp.reset();
    }

    void startsOnTheFirstSubjectAndClass()
    {
        QCOMPARE(appState().HintGroup, int(HintGroupJustification));
        QCOMPARE(appState().HintCount, 3);
        auto* subjects = part<QComboBox>(editor(), "CPrzedmiotNauczania");
        QCOMPARE(subjects->count(), 3);
        QCOMPARE(subjects->currentText(), QStringLiteral("Matematyka"));
        auto* classes = part<QComboBox>(editor(), "CListaKlas");
        QCOMPARE(classes->count(), 3);
        QCOMPARE(classes->currentText(), QStringLiteral("IIc"));
        QCOMPARE(items(editor(), "LUczniowie"),
                 (QStringList{QStringLiteral("Rogalski Adam"), QStringLiteral("Sowa Ewa")}));
        QCOMPARE(klasaFull().ClassName, QStringLiteral("IIc"));
        QCOMPARE(appState().CurrentClassIndex, 0);
        QCOMPARE(appState().CurrentPupilIndex, 0);
        // The first pupil carries only the focus mark: nobody is chosen yet.
        QVERIFY(part<QListWidget>(editor(), "LUczniowie")->selectedItems().isEmpty());
        QVERIFY(justified()->count() == 0);
        for (const char* name : {"CPrzedmiotNauczania", "CListaKlas", "LUczniowie", "LUzasadnione"})
            QCOMPARE(part(editor(), name)->toolTip(), QStringLiteral("Wybierz z listy"));

        // A class without pupils has no current pupil.
        chooseItem(editor(), "CListaKlas", QStringLiteral("pusta"));
        QCOMPARE(appState().CurrentClassIndex, 2);
        QVERIFY(items(editor(), "LUczniowie").isEmpty());
        MessageRecorder messages;
        click(editor(), "LUzasadniaj");
        QCOMPARE(messages.texts(), QStringList{kChoosePupil});
    }

    void justifiesSeveralPupilsWithOneText()
    {
        MessageRecorder messages;
        click(editor(), "LUzasadniaj");
        QCOMPARE(messages.texts(), QStringList{kChoosePupil});
        QCOMPARE(messages.messages().first().kind, int(KindNotice));
        QCOMPARE(messages.messages().first().icon, int(IconWarning));
        messages.clear();

        // Chosen in another order, named and stored in class order.
        const QString caption =
            justify(editor(), {QStringLiteral("Sowa Ewa"), QStringLiteral("Rogalski Adam")},
                    {QStringLiteral("Brak prac."), QString(), QStringLiteral("Nieobecności.")});
        QCOMPARE(caption, QStringLiteral("Uczniowie: Rogalski Adam, Sowa Ewa"));
        QCOMPARE(items(editor(), "LUzasadnione"),
                 (QStringList{QStringLiteral("Rogalski Adam"), QStringLiteral("Sowa Ewa")}));
        for (int i : {0, 1}) {
            QCOMPARE(row(i).FailSubjects, QStringLiteral("Matematyka"));
            QCOMPARE(row(i).FailJustification, QStringLiteral("Brak prac.&&Nieobecności.&"));
        }
        QVERIFY(messages.messages().isEmpty());

        // A second text for a justified pupil is refused for every pupil chosen with
        // him, naming the first in list order.
        messages.scriptAnswers({AnswerYes});
        chooseItem(editor(), "CPrzedmiotNauczania", QStringLiteral("Historia"));
        messages.clear();
        choose(editor(), "LUczniowie", {QStringLiteral("Sowa Ewa"), QStringLiteral("Rogalski Adam")});
        {
            ModalAnswer unexpected([](QWidget* modal) { modal->close(); }, 300);
            click(editor(), "LUzasadniaj");
            QVERIFY(!unexpected.ran());
        }
        QCOMPARE(messages.texts(), QStringList{alreadyJustified(QStringLiteral("Rogalski Adam"))});
        QCOMPARE(row(1).FailSubjects, QStringLiteral("Matematyka"));
    }

    void aCancelledOrEmptyDialogWritesNothing()
    {
        MessageRecorder messages;
        choose(editor(), "LUczniowie", {QStringLiteral("Sowa Ewa")});
        // Cancelling typed text asks first; only "Porzuć tekst" lets it go.
        messages.scriptAnswers({AnswerYes});
        ModalAnswer cancelled([](QWidget* dialog) {
            part<QPlainTextEdit>(dialog, "MTekst")->insertPlainText(QStringLiteral("zaczęte"));
            click(dialog, "LAnuluj");
        });
        click(editor(), "LUzasadniaj");
        QVERIFY(cancelled.ran() && !cancelled.leftOpen());
        QCOMPARE(messages.texts(), QStringList{EntryDialog::DropQuestion()});
        messages.clear();
        QVERIFY(justified()->count() == 0);
        QVERIFY(row(1).FailJustification.isEmpty());
        QVERIFY(row(1).FailSubjects.isEmpty());

        // An empty text keeps the dialog open with its own notice; the memo starts
        // empty even after the cancelled text.
        ModalAnswer empty([](QWidget* dialog) {
            QVERIFY(part<QPlainTextEdit>(dialog, "MTekst")->toPlainText().isEmpty());
            click(dialog, "LWprowadz");
            QVERIFY(dialog->isVisible());
            QTest::keyClick(part<QPlainTextEdit>(dialog, "MTekst"), Qt::Key_Escape);
        });
        click(editor(), "LUzasadniaj");
        QVERIFY(empty.ran() && !empty.leftOpen());
        QCOMPARE(messages.texts(), QStringList{QStringLiteral(
                                       "Wpisz uzasadnienie lub anuluj.\rUzasadnienie nie może być puste.")});
        QVERIFY(justified()->count() == 0);
        QCOMPARE(klasaFull().CountJustifications(JustificationKind::FailingGrade), 0);
    }

    void editingTakesOnePupilOutOfItsGroup()
    {
        MessageRecorder messages;
        click(editor(), "LEdytuj");
        justify(editor(), {QStringLiteral("Sowa Ewa"), QStringLiteral("Rogalski Adam")},
                {QStringLiteral("Wspólny tekst."), QString(), QStringLiteral("Druga linia.")});
        QCOMPARE(part<QListWidget>(editor(), "LUczniowie")->currentRow(), 0);
        justified()->clearSelection();
        click(editor(), "LEdytuj");
        QCOMPARE(messages.texts(), (QStringList{kNothingToEdit, kChooseToEdit}));

        // The stored text comes back line by line, an empty line as one blank; the
        // pupil's own row becomes current and gets the focus mark on the left.
        messages.scriptAnswers({AnswerYes});
        chooseItem(editor(), "CPrzedmiotNauczania", QStringLiteral("Historia"));
        selectJustified(QStringLiteral("Sowa Ewa"));
        QString caption;
        QString shown;
        ModalAnswer edit([&](QWidget* dialog) {
            caption = part<QLabel>(dialog, "LUczniowie")->text();
            auto* memo = part<QPlainTextEdit>(dialog, "MTekst");
            shown = memo->toPlainText();
            memo->moveCursor(QTextCursor::End);
            memo->insertPlainText(QStringLiteral(" Poprawione."));
            click(dialog, "LWprowadz");
        });
        click(editor(), "LEdytuj");
        QVERIFY(edit.ran() && !edit.leftOpen());
        QCOMPARE(caption, QStringLiteral("Uczeń: Sowa Ewa"));
        QCOMPARE(shown, QStringLiteral("Wspólny tekst.\n \nDruga linia."));
        QCOMPARE(appState().CurrentPupilIndex, 1);
        QCOMPARE(part<QListWidget>(editor(), "LUczniowie")->currentRow(), 1);
        QCOMPARE(row(1).FailJustification, QStringLiteral("Wspólny tekst.& &Druga linia. Poprawione.&"));
        QCOMPARE(row(1).FailSubjects, QStringLiteral("Historia"));
        QCOMPARE(row(0).FailJustification, QStringLiteral("Wspólny tekst.&&Druga linia.&"));
        QCOMPARE(row(0).FailSubjects, QStringLiteral("Matematyka"));
        // The list shows, and reads out, what each pupil has now.
        QCOMPARE(justified()->item(0)->data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("Rogalski Adam, Matematyka: Wspólny tekst. Druga linia."));
        QCOMPARE(justified()->item(1)->data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("Sowa Ewa, Historia: Wspólny tekst. Druga linia. Poprawione."));

        // A cancelled edit keeps the text.
        selectJustified(QStringLiteral("Rogalski Adam"));
        ModalAnswer cancel([](QWidget* dialog) { click(dialog, "LAnuluj"); });
        click(editor(), "LEdytuj");
        QVERIFY(cancel.ran());
        QCOMPARE(row(0).FailJustification, QStringLiteral("Wspólny tekst.&&Druga linia.&"));

        // In the report the two are separate entries now.
        QVERIFY(m_editor->FinishReport());
        const QByteArray document = readAll(appState().TempFolder + appState().DocumentFileName + ".xml");
        QVERIFY(document.contains("<Ilosc>2</Ilosc>"));
        QVERIFY(document.contains("<Osoba>Rogalski Adam</Osoba>"));
    }

    void removingAsksAndRebuildsTheListInClassOrder()
    {
        MessageRecorder messages;
        click(editor(), "LUsun");
        justify(editor(), {QStringLiteral("Sowa Ewa")}, {QStringLiteral("Tekst B.")});
        justify(editor(), {QStringLiteral("Rogalski Adam")}, {QStringLiteral("Tekst A.")});
        QCOMPARE(items(editor(), "LUzasadnione"),
                 (QStringList{QStringLiteral("Sowa Ewa"), QStringLiteral("Rogalski Adam")}));
        justified()->clearSelection();
        click(editor(), "LUsun");
        QCOMPARE(messages.texts(), (QStringList{kNothingToRemove, kChooseToRemoveText}));
        messages.clear();

        // Nie and Anuluj keep the text; Tak removes it.
        messages.scriptAnswers({AnswerNo, AnswerCancel, AnswerYes});
        for (int attempt = 0; attempt < 3; ++attempt) {
            selectJustified(QStringLiteral("Sowa Ewa"));
            click(editor(), "LUsun");
            if (attempt < 2)
                QCOMPARE(row(1).FailJustification, QStringLiteral("Tekst B.&"));
        }
        const QString question = QStringLiteral("Czy rzeczywiście usunąć uzasadnienie dla: Sowa Ewa?");
        QCOMPARE(messages.texts(), (QStringList{question, question, question}));
        for (const MessageRecorder::Message& m : messages.messages())
            QVERIFY(m.kind == KindQuestion && m.icon == IconQuestion);
        QVERIFY(row(1).FailJustification.isEmpty());
        QVERIFY(row(1).FailSubjects.isEmpty());
        QCOMPARE(items(editor(), "LUzasadnione"), QStringList{QStringLiteral("Rogalski Adam")});
        QCOMPARE(appState().SelectedPupils, QStringList{QStringLiteral("Rogalski Adam")});

        // The pupil may be justified anew.
        justify(editor(), {QStringLiteral("Sowa Ewa")}, {QStringLiteral("Nowy tekst.")});
        QCOMPARE(row(1).FailJustification, QStringLiteral("Nowy tekst.&"));

        // Without any justification left the report is refused.
        messages.scriptAnswers({AnswerYes, AnswerYes});
        selectJustified(QStringLiteral("Rogalski Adam"));
        click(editor(), "LUsun");
        selectJustified(QStringLiteral("Sowa Ewa"));
        click(editor(), "LUsun");
        QVERIFY(justified()->count() == 0);
        messages.clear();
        QVERIFY(!m_editor->FinishReport());
        QCOMPARE(messages.texts(), QStringList{kNoJustification});
        QCOMPARE(messages.messages().first().icon, int(IconWarning));
        QVERIFY(m_editor->isVisible());
        QVERIFY(!m_preview->isVisible());
        QVERIFY(!QFile::exists(appState().TempFolder + QStringLiteral("Ndst.htm")));
    }

    // A school without subjects: a text could not be told from none in the report,
    // so none is written.
    void noSubjectNoJustification()
    {
        appState().SubjectNames.clear();
        m_editor->ShowEditor();
        QCOMPARE(part<QComboBox>(editor(), "CPrzedmiotNauczania")->count(), 0);
        MessageRecorder messages;
        choose(editor(), "LUczniowie", {QStringLiteral("Sowa Ewa")});
        {
            ModalAnswer unexpected([](QWidget* modal) { modal->close(); }, 300);
            click(editor(), "LUzasadniaj");
            QVERIFY(!unexpected.ran());
        }
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Wybierz przedmiot nauczania z listy.")});
        QCOMPARE(messages.messages().first().icon, int(IconWarning));
        QVERIFY(justified()->count() == 0);
        QCOMPARE(klasaFull().CountJustifications(JustificationKind::FailingGrade), 0);
    }

    void changingClassDiscardsTheJustifications()
    {
        justify(editor(), {QStringLiteral("Sowa Ewa")}, {QStringLiteral("Tekst.")});
        MessageRecorder messages;
        messages.scriptAnswers({AnswerYes});
        chooseItem(editor(), "CListaKlas", QStringLiteral("Ia & Ib"));
        QCOMPARE(messages.messages().size(), 1);
        messages.clear();
        QCOMPARE(appState().CurrentClassIndex, 1);
        QVERIFY(justified()->count() == 0);
        QCOMPARE(items(editor(), "LUczniowie").size(), 4);
        QCOMPARE(klasaFull().CountJustifications(JustificationKind::FailingGrade), 0);
        // Back to the first class: nothing of before returns.
        chooseItem(editor(), "CListaKlas", QStringLiteral("IIc"));
        QVERIFY(row(1).FailJustification.isEmpty());
        QVERIFY(!m_editor->FinishReport());
        QCOMPARE(messages.texts(), QStringList{kNoJustification});

        // A new teacher or topic choice empties the right-hand list.
        justify(editor(), {QStringLiteral("Sowa Ewa")}, {QStringLiteral("Tekst.")});
        m_editor->ClearEditorInputs();
        QVERIFY(justified()->count() == 0);
    }

    // The report entered through the window against the document and page worked
    // out by hand.
    void writesTheReportOfTheGoldenCase()
    {
        const QString golden = TestPaths::testData(QStringLiteral("document/golden/uzasadnienie/"));
        QVERIFY(QFile::exists(golden + QStringLiteral("expected.xml")));
        UzasadnienieSteps::enterGoldenCase(editor());
        QCOMPARE(items(editor(), "LUzasadnione"),
                 (QStringList{QStringLiteral("Kaczmarek Julia"), QStringLiteral("Borkowska Ola"),
                              QStringLiteral("Dudek Filip")}));

        MessageRecorder messages;
        QVERIFY(m_editor->FinishReport());
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(!m_editor->isVisible());
        QVERIFY(m_preview->isVisible());
        QCOMPARE(m_preview->LoadedPath(), appState().TempFolder + QStringLiteral("Ndst.htm"));
        QCOMPARE(appState().DocumentFileName,
                 QStringLiteral("UNdst_Język angielski_Ia & Ib_Lewandowski Marek"));
        QCOMPARE(klasaFull().FailCount, 3);

        const QString documentPath =
            appState().TempFolder + appState().DocumentFileName + QStringLiteral(".xml");
        const QByteArray document = readAll(documentPath);
        QCOMPARE(withoutDate(document), withoutDate(readAll(golden + QStringLiteral("expected.xml"))));
        QCOMPARE(readAll(appState().TempFolder + QStringLiteral("Ndst.htm")),
                 readAll(golden + QStringLiteral("expected.htm")));
        const QString page = m_preview->findChild<QTextBrowser*>(QStringLiteral("WebBrowser"))->toPlainText();
        QVERIFY(page.contains(QStringLiteral("Uczniowie: Borkowska Ola, Dudek Filip")));

        // Back from the preview everything stays, and forward again writes the same.
        m_preview->CloseStepWindow();
        appState().NavigatingBack = true;
        m_editor->ShowEditor();
        QCOMPARE(part<QComboBox>(editor(), "CListaKlas")->currentText(), QStringLiteral("Ia & Ib"));
        QCOMPARE(part<QComboBox>(editor(), "CPrzedmiotNauczania")->currentText(),
                 QStringLiteral("Język angielski"));
        QCOMPARE(items(editor(), "LUzasadnione").size(), 3);
        QFile::remove(documentPath);
        QVERIFY(m_editor->FinishReport());
        QCOMPARE(withoutDate(readAll(documentPath)), withoutDate(document));

        // A new opening from the topic list starts empty on the first subject and class.
        appState().NavigatingBack = false;
        m_editor->ShowEditor();
        QVERIFY(justified()->count() == 0);
        QCOMPARE(part<QComboBox>(editor(), "CListaKlas")->currentText(), QStringLiteral("IIc"));
        QCOMPARE(part<QComboBox>(editor(), "CPrzedmiotNauczania")->currentText(),
                 QStringLiteral("Matematyka"));
        QCOMPARE(klasaFull().CountJustifications(JustificationKind::FailingGrade), 0);
    }
};

QTEST_MAIN(TestUzasadnienie)
#include "tst_uzasadnienie.moc"
