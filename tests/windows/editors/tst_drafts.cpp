#include "ZachowanieSteps.h"
#include "drafts/ReportArchive.h"
#include "windows/delivery/DocumentFileDialogs.h"
#include "windows/delivery/UDecyzja.h"
#include "drafts/DraftStore.h"
#include "drafts/EditorDrafts.h"
#include "windows/editors/EntryDialog.h"
#include "windows/editors/URealizacjaProgramu.h"
#include "windows/editors/UWerdykon.h"
#include "windows/editors/UZachowanie.h"
#include "core/AppState.h"
#include "core/SchoolData.h"
#include "windows/UGlowny.h"
#include "support/MessageRecorder.h"
#include "support/ModalAnswer.h"
#include "support/RunningProgram.h"
#include "support/TestServer.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QJsonArray>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWheelEvent>
#include <optional>

using namespace WerdykonSteps;
using ZachowanieSteps::addExemplary;
using ZachowanieSteps::addLowered;

namespace {

constexpr int kTopicWerdykon = 0;
constexpr int kTopicZachowanie = 1;
constexpr int kTopicRealProgramu = 3;
const QString kTeacher = QStringLiteral("Kowalska Anna");

// The save dialog of the delivery window, answered with a file of the test's choice.
class SaveTo final : public DocumentFileDialogs
{
public:
    explicit SaveTo(QString target) : m_target(std::move(target)) {}
    QString ChooseSaveFile(QWidget*, const QString&) override { return m_target; }
    QString ChooseOpenFile(QWidget*) override { return {}; }

private:
    QString m_target;
};

} // namespace

// The teacher's input through the program's own windows: drafts that survive a killed
// program, the questions before closing and before a class change, the mouse wheel
// over a class list, and a report sent later in its own teacher's name.
class TestDrafts : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RunningProgram> m_program;
    // The school the program loads at its next start.
    QList<_Klasa> m_classes;

    TFGlowny* main() const { return m_program->main(); }
    template <typename T> T* window() const { return m_program->window<T>(); }

    // From the welcome panel to the editor of `topic`, as the teacher.
    void openEditor(int topic)
    {
        m_program->click("LNowaWerdykon");
        part<QListWidget>(main(), "BListaNauczycieli")->setCurrentRow(1);
        m_program->click("ImNaprzod");
        part<QListWidget>(main(), "blistazagadnien")->setCurrentRow(topic);
        m_program->click("ImNaprzod");
        QCOMPARE(appState().WizardStep, 3);
    }

    // Kills and starts the program again; the test's recorder answers the new one.
    void restart(std::optional<MessageRecorder>& messages)
    {
        messages.reset();
        m_program->restart();
        QVERIFY(m_program->isStarted());
        messages.emplace();
    }

    QWidget* editorOf(int topic) const
    {
        const char* name = topic == kTopicWerdykon     ? "FWerdykon"
                           : topic == kTopicZachowanie ? "FZachowania"
                                                       : "FRealProgramu";
        return main()->findChild<QWidget*>(QString::fromLatin1(name));
    }

    // From the preview to the delivery window, and the report saved as `target`.
    void saveToDisk(const QString& target)
    {
        if (appState().WizardStep == 4)
            m_program->click("ImNaprzod");
        QCOMPARE(appState().WizardStep, 5);
        auto* delivery = window<TFDecyzja>();
        SaveTo dialogs(target);
        delivery->SetFileDialogs(&dialogs);
        QLabel* save = part<QLabel>(delivery, "LZapisNaDysku");
        QTest::mouseClick(save, Qt::LeftButton, {}, QPoint(20, 10));
        delivery->SetFileDialogs(nullptr);
        QVERIFY(QFile::exists(target));
    }

    static bool writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    QString draftPath(int topic) const { return DraftStore(appState().DataFolder).PathOf(kTeacher, topic); }

    // The draft as the program last wrote it; empty when there is none.
    QJsonObject draftInput(int topic) const
    {
        QFile file(draftPath(topic));
        Draft draft;
        if (!file.open(QIODevice::ReadOnly) || !DraftStore::Decode(file.readAll(), &draft))
            return {};
        return draft.Input;
    }

    QByteArray writtenReport() const
    {
        return withoutDate(
            readAll(appState().TempFolder + appState().DocumentFileName + QStringLiteral(".xml")));
    }

    static void enter(int topic, QWidget* editor)
    {
        if (topic == kTopicWerdykon) {
            enterGoldenCase(editor);
        } else if (topic == kTopicZachowanie) {
            addExemplary(editor, {QStringLiteral("Bąk Zofia")});
            addLowered(editor, {QStringLiteral("Cieślak Michał"), QStringLiteral("Jabłoński Paweł")},
                       QStringLiteral("naganna"),
                       {QStringLiteral("Wagary"), QString(), QStringLiteral("Spóźnienia")});
            click(editor, "LOgolne");
            QTest::keyClicks(part<QPlainTextEdit>(editor, "MInneUwagi"), QStringLiteral("Klasa zgrana"));
        } else {
            part<QComboBox>(editor, "CPrzedmiotNauczania")->setCurrentIndex(1);
            QTest::keyClicks(part<QLineEdit>(editor, "EKlasy"), QStringLiteral("IIa"));
            auto* general = part<QPlainTextEdit>(editor, "Mogolne");
            QTest::keyClicks(general, QStringLiteral("Temat\u00a01"));
            QTest::keyClick(general, Qt::Key_Return);
            QTest::keyClick(general, Qt::Key_Return);
            QTest::keyClicks(general, QStringLiteral("Temat 2"));
            QTest::keyClicks(part<QPlainTextEdit>(editor, "MSukcesy"), QStringLiteral("Konkurs"));
        }
    }

    // The last thing `enter` typed is in the draft on disk.
    static bool holdsLastInput(int topic, const QJsonObject& input)
    {
        if (topic == kTopicWerdykon)
            return input.value(QStringLiteral("ndst")).toArray().size() == 2;
        if (topic == kTopicZachowanie)
            return input.value(QStringLiteral("uwagi")).toString() == QStringLiteral("Klasa zgrana");
        return input.value(QStringLiteral("sukcesy")).toString() == QStringLiteral("Konkurs");
    }

private Q_SLOTS:
    void init()
    {
        m_classes = goldenSchool();
        m_program = std::make_unique<RunningProgram>([this] {
            schoolData() = SchoolData{};
            schoolData().Classes = m_classes;
            appState().TeacherNames = {QStringLiteral("Abacki Jan"), kTeacher};
            appState().SubjectNames = goldenSubjects();
            return true;
        });
        QVERIFY(m_program->isStarted());
    }

    void cleanup() { m_program.reset(); }

    void restoredAfterAKillWritesTheSameReport_data()
    {
        QTest::addColumn<int>("topic");
        QTest::addColumn<QString>("about");
        QTest::newRow("averages and failing subjects")
            << kTopicWerdykon << QStringLiteral("klasa IIIb <gim>");
        QTest::newRow("a justification") << kTopicZachowanie << QStringLiteral("klasa IIIb <gim>");
        QTest::newRow("free text") << kTopicRealProgramu << QStringLiteral("przedmiot Fizyka & astronomia");
    }

    void restoredAfterAKillWritesTheSameReport()
    {
        QFETCH(int, topic);
        QFETCH(QString, about);
        std::optional<MessageRecorder> messages(std::in_place);
        openEditor(topic);
        QWidget* editor = editorOf(topic);
        QVERIFY(editor && editor->isVisible());
        enter(topic, editor);
        // Written a moment after the last change, while the program runs.
        QTRY_VERIFY_WITH_TIMEOUT(holdsLastInput(topic, draftInput(topic)), 5000);
        QVERIFY(messages->messages().isEmpty());

        // What this run would have handed in.
        m_program->click("ImNaprzod");
        QCOMPARE(appState().WizardStep, 4);
        const QByteArray firstReport = writtenReport();
        const QString firstName = appState().DocumentFileName;
        QVERIFY(!firstReport.isEmpty());

        restart(messages);
        // The welcome panel tells that the draft waits, whose and of what.
        auto* waiting = part<QLabel>(main(), "LSzkice");
        QVERIFY(waiting && waiting->isVisible());
        QVERIFY2(waiting->text().contains(kTeacher + QStringLiteral(" – ") + editorOf(topic)->windowTitle()) &&
                     waiting->text().contains(QLocale(QLocale::Polish).toString(QDate::currentDate(), QStringLiteral("d MMMM"))),
                 qPrintable(waiting->text()));
        messages->scriptAnswers({AnswerYes});
        openEditor(topic);
        QVERIFY(editorOf(topic)->isVisible());
        QCOMPARE(messages->messages().size(), 1);
        const MessageRecorder::Message offer = messages->messages().first();
        QCOMPARE(offer.kind, int(KindQuestion));
        QVERIFY2(offer.text.contains(about) && offer.text.startsWith(QStringLiteral("Masz niedokończony szkic")),
                 qPrintable(offer.text));
        QCOMPARE(offer.captions, (QStringList{QStringLiteral("Kontynuuj"), QStringLiteral("Zacznij od nowa")}));
        QCOMPARE(offer.keeps, int(AnswerYes));

        m_program->click("ImNaprzod");
        QCOMPARE(appState().WizardStep, 4);
        QCOMPARE(appState().DocumentFileName, firstName);
        QCOMPARE(writtenReport(), firstReport);
        // Nothing was handed in: the archive keeps nothing yet.
        const ReportArchive archive(appState().DataFolder);
        QVERIFY(QDir(archive.YearFolder(QDate::currentDate())).entryList({QStringLiteral("*.xml")}).isEmpty());
    }

    void aDamagedDraftIsSetAside()
    {
        MessageRecorder messages;
        QVERIFY(QDir().mkpath(DraftStore(appState().DataFolder).Folder()));
        const QString path = draftPath(kTopicRealProgramu);
        QVERIFY(writeFile(path, "TABULON-SZKIC 1\n{\"nauczyciel\": \"Kowalska Anna\", \"dane\": [1,"));
        openEditor(kTopicRealProgramu);
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY2(messages.texts().first().startsWith(QStringLiteral("Szkicu „Realizacja programu")),
                 qPrintable(messages.texts().first()));
        QVERIFY(!QFile::exists(path));
        const QStringList aside = QDir(DraftStore(appState().DataFolder).Folder())
                                      .entryList({QStringLiteral("*.uszkodzony-*")}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QVERIFY(part<QPlainTextEdit>(window<TFRealProgramu>(), "Mogolne")->toPlainText().isEmpty());
    }

    // Closing with input asks one question whose answers both keep the work: close
    // (the draft stays) or go back to work (the default, and Esc's answer).
    void closingWithInputAndEachAnswer_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Zamknij program") << int(AnswerYes) << true;
        QTest::newRow("Wróć do pracy") << int(AnswerNo) << false;
        QTest::newRow("Esc or the close mark") << int(AnswerClose) << false;
    }

    void closingWithInputAndEachAnswer()
    {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        std::optional<MessageRecorder> messages(std::in_place);
        openEditor(kTopicRealProgramu);
        QTest::keyClicks(part<QPlainTextEdit>(window<TFRealProgramu>(), "Mogolne"), QStringLiteral("Wstep"));
        messages->scriptAnswers({answer});
        QCOMPARE(main()->close(), closes);
        QCOMPARE(messages->texts(), QStringList{CloseQuestionText()});
        QCOMPARE(messages->messages().first().captions,
                 (QStringList{QStringLiteral("Zamknij program"), QStringLiteral("Wróć do pracy")}));
        QCOMPARE(messages->messages().first().keeps, int(AnswerNo));
        // Whatever the answer, the draft holds what was typed.
        QCOMPARE(draftInput(kTopicRealProgramu).value(QStringLiteral("ogolne")).toString(),
                 QStringLiteral("Wstep"));
        if (!closes) {
            QVERIFY(main()->isVisible());
            QCOMPARE(part<QPlainTextEdit>(window<TFRealProgramu>(), "Mogolne")->toPlainText(),
                     QStringLiteral("Wstep"));
        }

        // Nothing typed: the program closes without a question.
        restart(messages);
        messages->scriptAnswers({AnswerNo}); // the draft offered is put aside
        openEditor(kTopicRealProgramu);
        QCOMPARE(messages->messages().size(), 1);
        QVERIFY(!QFile::exists(draftPath(kTopicRealProgramu)));
        messages->clear();
        QVERIFY(main()->close());
        QVERIFY(messages->messages().isEmpty());
    }

    // Back from the editor and forward again to the same teacher and topic keeps the
    // input and offers no draft, a click in the topic list between them included.
    // Another teacher starts afresh; the first one's draft is then offered to him.
    void backThenForwardKeepsTheInput()
    {
        MessageRecorder messages;
        openEditor(kTopicRealProgramu);
        auto* general = part<QPlainTextEdit>(window<TFRealProgramu>(), "Mogolne");
        QTest::keyClicks(general, QStringLiteral("Wstep"));
        QTest::keyClicks(part<QLineEdit>(window<TFRealProgramu>(), "EKlasy"), QStringLiteral("IIa"));
        m_program->click("ImWstecz");
        QCOMPARE(appState().WizardStep, 2);
        auto* topics = part<QListWidget>(main(), "blistazagadnien");
        const QPoint onTopic = topics->visualItemRect(topics->currentItem()).center();
        QTest::mouseClick(topics->viewport(), Qt::LeftButton, {}, onTopic);
        m_program->click("ImNaprzod");
        QCOMPARE(appState().WizardStep, 3);
        QCOMPARE(general->toPlainText(), QStringLiteral("Wstep"));
        QCOMPARE(part<QLineEdit>(window<TFRealProgramu>(), "EKlasy")->text(), QStringLiteral("IIa"));
        QVERIFY(messages.messages().isEmpty());

        // The same once more, by way of the preview.
        m_program->click("ImNaprzod");
        QCOMPARE(appState().WizardStep, 4);
        m_program->click("ImWstecz");
        m_program->click("ImWstecz");
        m_program->click("ImNaprzod");
        QCOMPARE(general->toPlainText(), QStringLiteral("Wstep"));
        QVERIFY(messages.messages().isEmpty());

        // Another teacher: an empty editor; back to the first: the draft is offered.
        m_program->click("ImWstecz");
        m_program->click("ImWstecz");
        part<QListWidget>(main(), "BListaNauczycieli")->setCurrentRow(0);
        m_program->click("ImNaprzod");
        m_program->click("ImNaprzod");
        QVERIFY(general->toPlainText().isEmpty());
        QVERIFY(messages.messages().isEmpty());
        m_program->click("ImWstecz");
        m_program->click("ImWstecz");
        part<QListWidget>(main(), "BListaNauczycieli")->setCurrentRow(1);
        messages.scriptAnswers({AnswerYes});
        m_program->click("ImNaprzod");
        m_program->click("ImNaprzod");
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(general->toPlainText(), QStringLiteral("Wstep"));
    }

    // "Zacznij od nowa" moves the draft among the discarded ones; nothing is deleted.
    void startingAnewPutsTheDraftAside()
    {
        std::optional<MessageRecorder> messages(std::in_place);
        openEditor(kTopicRealProgramu);
        QTest::keyClicks(part<QPlainTextEdit>(window<TFRealProgramu>(), "Mogolne"), QStringLiteral("Wstep"));
        QTRY_VERIFY_WITH_TIMEOUT(!draftInput(kTopicRealProgramu).isEmpty(), 5000);
        const QByteArray draft = readAll(draftPath(kTopicRealProgramu));

        restart(messages);
        messages->scriptAnswers({AnswerNo});
        openEditor(kTopicRealProgramu);
        QVERIFY(part<QPlainTextEdit>(window<TFRealProgramu>(), "Mogolne")->toPlainText().isEmpty());
        QVERIFY(!QFile::exists(draftPath(kTopicRealProgramu)));
        const QDir discarded(DraftStore(appState().DataFolder).DiscardedFolder());
        const QStringList aside = discarded.entryList(QDir::Files);
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readAll(discarded.filePath(aside.first())), draft);
        QCOMPARE(messages->messages().size(), 1);
    }

    // The program is killed while the conduct dialog holds typed text: the draft on
    // disk at that moment brings the dialog back with its pupils, grade and text.
    void aKillWhileAnEntryDialogIsOpenBringsItBack()
    {
        std::optional<MessageRecorder> messages(std::in_place);
        openEditor(kTopicZachowanie);
        QWidget* editor = editorOf(kTopicZachowanie);
        click(editor, "LSrednie");
        choose(editor, "LUczniowieNaganne", {QStringLiteral("Cieślak Michał")});
        const QString typed = QStringLiteral("Wagary i spóźnienia\nna lekcjach");
        QByteArray atTheKill;
        ModalAnswer typing([&](QWidget* dialog) {
            auto* grades = part<QComboBox>(dialog, "COcena");
            grades->setCurrentIndex(grades->findText(QStringLiteral("naganna")));
            part<QPlainTextEdit>(dialog, "MUzasadnienie")->insertPlainText(typed);
            // Within the longest delay the draft holds the open dialog.
            QTRY_VERIFY_WITH_TIMEOUT(readAll(draftPath(kTopicZachowanie)).contains("Wagary"), 6000);
            atTheKill = readAll(draftPath(kTopicZachowanie));
            click(dialog, "LWprowadz");
        });
        click(editor, "LDodajObnizone");
        QVERIFY(typing.ran());
        QVERIFY(atTheKill.contains("FEdytujZachowanie"));

        messages.reset();
        m_program->restart();
        QVERIFY(writeFile(draftPath(kTopicZachowanie), atTheKill));
        messages.emplace();
        messages->scriptAnswers({AnswerYes});
        QString pupils;
        QString grade;
        QString text;
        ModalAnswer reopened([&](QWidget* dialog) {
            pupils = part<QLabel>(dialog, "LOsoby")->text();
            grade = part<QComboBox>(dialog, "COcena")->currentText();
            text = part<QPlainTextEdit>(dialog, "MUzasadnienie")->toPlainText();
            click(dialog, "LWprowadz");
        });
        openEditor(kTopicZachowanie);
        QTRY_VERIFY(reopened.ran());
        QCOMPARE(pupils, QStringLiteral("Uczeń: Cieślak Michał"));
        QCOMPARE(grade, QStringLiteral("naganna"));
        QCOMPARE(text, typed);
        QCOMPARE(items(editorOf(kTopicZachowanie), "LNaganni"), QStringList{QStringLiteral("Cieślak Michał")});
        QCOMPARE(messages->messages().size(), 1); // the offer alone
    }

    // A draft restored after the school's update changed the class: one notice names
    // the pupils gone and the pupils new, and the report counts today's class.
    void aDraftRestoredAfterTheClassChangedTellsWhoCameAndWent()
    {
        std::optional<MessageRecorder> messages(std::in_place);
        openEditor(kTopicWerdykon);
        enterGoldenCase(window<TFWerdykon>());
        QTRY_VERIFY_WITH_TIMEOUT(holdsLastInput(kTopicWerdykon, draftInput(kTopicWerdykon)), 6000);
        QVERIFY(items(window<TFWerdykon>(), "L100Frekwencja").contains(QStringLiteral("Dąbrowska Żaneta")));

        m_classes = goldenSchool();
        m_classes[0] = makeClass(QStringLiteral("IIIb <gim>"),
                                 {QStringLiteral("Adamczyk Łukasz"), QStringLiteral("Bąk Zofia"),
                                  QStringLiteral("Cieślak Michał"), QStringLiteral("Jabłoński Paweł"),
                                  QStringLiteral("Zawadzki Piotr")});
        restart(messages);
        messages->scriptAnswers({AnswerYes});
        openEditor(kTopicWerdykon);
        auto* editor = window<TFWerdykon>();
        QCOMPARE(messages->messages().size(), 2);
        QCOMPARE(messages->texts().at(1),
                 QStringLiteral("Od czasu zapisania szkicu zmieniła się lista uczniów klasy „IIIb <gim>”.\r"
                                "Nie ma już w klasie (ich wpisy pominięto): Dąbrowska Żaneta, Wiśniewska Ewa.\r"
                                "Nowi w klasie: Zawadzki Piotr."));
        QVERIFY(!items(editor, "L100Frekwencja").contains(QStringLiteral("Dąbrowska Żaneta")));
        QVERIFY(items(editor, "L100Frekwencja").contains(QStringLiteral("Adamczyk Łukasz")));
        QCOMPARE(items(editor, "LUczniowieFrekwencja").size(), 5);
        QCOMPARE(part<QLineEdit>(editor, "EKlasyfikowanych")->text(), QStringLiteral("5"));
        m_program->click("ImNaprzod");
        QCOMPARE(appState().WizardStep, 4);
        QVERIFY(writtenReport().contains("<Klasyfikowanych>5</Klasyfikowanych>"));
    }

    // Ten visits to the preview and one delivery keep one report in the archive, and
    // the log names the kept file, whose bytes are those delivered.
    void tenPreviewsAndOneDeliveryKeepOneReport()
    {
        MessageRecorder messages;
        openEditor(kTopicWerdykon);
        enterGoldenCase(window<TFWerdykon>());
        for (int visit = 0; visit < 10; ++visit) {
            m_program->click("ImNaprzod");
            QCOMPARE(appState().WizardStep, 4);
            m_program->click("ImWstecz");
            QCOMPARE(appState().WizardStep, 3);
        }
        m_program->click("ImNaprzod");
        const ReportArchive archive(appState().DataFolder);
        const QDir year(archive.YearFolder(QDate::currentDate()));
        QVERIFY(year.entryList({QStringLiteral("*.xml")}).isEmpty());

        QTemporaryDir disk;
        const QString saved = QDir(disk.path()).filePath(QStringLiteral("raport.xml"));
        saveToDisk(saved);
        QCOMPARE(year.entryList({QStringLiteral("*.xml")}),
                 QStringList{appState().DocumentFileName + QStringLiteral(".xml")});
        const QString kept = year.filePath(appState().DocumentFileName + QStringLiteral(".xml"));
        QCOMPARE(readAll(kept), readAll(saved));
        QVERIFY(QFile::exists(year.filePath(appState().DocumentFileName + QStringLiteral(".htm"))));

        // Delivered once more: still one kept report, and a second log line naming it.
        saveToDisk(QDir(disk.path()).filePath(QStringLiteral("drugi.xml")));
        QCOMPARE(year.entryList({QStringLiteral("*.xml")}).size(), 1);
        const QList<QByteArray> lines = readAll(archive.LogPath(QDate::currentDate())).split('\n');
        QCOMPARE(lines.size(), 3); // two lines and the end
        for (int line = 0; line < 2; ++line)
            QVERIFY2(lines.at(line).endsWith(("\t" + QFileInfo(kept).fileName() + "\tdostarczono").toUtf8()),
                     lines.at(line).constData());
    }

    // A lock another computer left (a shared home folder): the question names that
    // computer; its default leaves the draft alone, "Przejmij szkic" takes it over.
    void aLockOfAnotherComputerIsTakenOverOnlyWhenAsked()
    {
        std::optional<MessageRecorder> messages(std::in_place);
        QVERIFY(QDir().mkpath(DraftStore(appState().DataFolder).Folder()));
        const QString lock = draftPath(kTopicRealProgramu) + QStringLiteral(".lock");
        QVERIFY(writeFile(lock, "4242\ntabulon\nsala-12-komputer\n"));
        openEditor(kTopicRealProgramu);
        QCOMPARE(messages->messages().size(), 2);
        QCOMPARE(messages->texts().first(),
                 EditorDrafts::OtherMachineText(QStringLiteral("Realizacja programu z przedmiotu nauczania"),
                                                QStringLiteral("sala-12-komputer")));
        QCOMPARE(messages->messages().first().keeps, int(AnswerNo));
        QTest::keyClicks(part<QPlainTextEdit>(window<TFRealProgramu>(), "Mogolne"), QStringLiteral("Wstep"));
        QTest::qWait(1500);
        QVERIFY(!QFile::exists(draftPath(kTopicRealProgramu)));
        QVERIFY(readAll(lock).contains("sala-12-komputer"));

        restart(messages);
        messages->scriptAnswers({AnswerYes});
        openEditor(kTopicRealProgramu);
        QCOMPARE(messages->messages().size(), 1);
        QTest::keyClicks(part<QPlainTextEdit>(window<TFRealProgramu>(), "Mogolne"), QStringLiteral("Wstep"));
        QTRY_VERIFY_WITH_TIMEOUT(!draftInput(kTopicRealProgramu).isEmpty(), 6000);
        QVERIFY(!readAll(lock).contains("sala-12-komputer"));
    }

    void theWheelLeavesAnUnfocusedClassListAlone()
    {
        MessageRecorder messages;
        openEditor(kTopicWerdykon);
        auto* editor = window<TFWerdykon>();
        click(editor, "LFrekwencja");
        choose(editor, "LUczniowieFrekwencja", {QStringLiteral("Bąk Zofia")});
        click(editor, "LDodajFrekwencja");
        click(editor, "LOgolne");
        auto* classes = part<QComboBox>(editor, "CListaKlasOgolne");
        part<QLineEdit>(editor, "EPromowanych")->setFocus();
        QVERIFY(!classes->hasFocus());
        const auto turnWheel = [classes] {
            const QPointF at(classes->rect().center());
            QWheelEvent wheel(at, classes->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(classes, &wheel);
        };
        turnWheel();
        QCOMPARE(classes->currentIndex(), 0);
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(items(editor, "L100Frekwencja"), QStringList{QStringLiteral("Bąk Zofia")});

        // Chosen on purpose, the change asks; its default (and Esc) keeps the class.
        messages.scriptAnswers({AnswerClose, AnswerYes});
        classes->setCurrentIndex(1);
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().first().text,
                 QStringLiteral("Zmiana klasy usunie z okna wszystko, co wpisano dla klasy „IIIb <gim>”; szkic "
                                "trafi do folderu Szkice/Odrzucone.\rZmienić klasę na „0a”?"));
        QCOMPARE(messages.messages().first().captions,
                 (QStringList{QStringLiteral("Zmień klasę"), QStringLiteral("Zostaw klasę")}));
        QCOMPARE(messages.messages().first().keeps, int(AnswerNo));
        QCOMPARE(classes->currentIndex(), 0);
        QCOMPARE(items(editor, "L100Frekwencja"), QStringList{QStringLiteral("Bąk Zofia")});
        classes->setCurrentIndex(1);
        QCOMPARE(classes->currentIndex(), 1);
        QVERIFY(items(editor, "L100Frekwencja").isEmpty());
        // What the change took from the window waits among the discarded drafts.
        const QDir discarded(DraftStore(appState().DataFolder).DiscardedFolder());
        QCOMPARE(discarded.entryList(QDir::Files).size(), 1);
    }

    // A report written earlier, sent from a fresh start: the file dialog opens in the
    // archive and the mail speaks in the name of the report's own teacher.
    void anEarlierReportIsMailedInItsTeachersName()
    {
        std::optional<MessageRecorder> messages(std::in_place);
        openEditor(kTopicWerdykon);
        enterGoldenCase(window<TFWerdykon>());
        m_program->click("ImNaprzod");
        QCOMPARE(appState().WizardStep, 4);
        QTemporaryDir disk;
        saveToDisk(QDir(disk.path()).filePath(QStringLiteral("raport.xml")));
        const QString year = ReportArchive(appState().DataFolder).YearFolder(QDate::currentDate());
        const QString kept = QDir(year).filePath(appState().DocumentFileName + QStringLiteral(".xml"));
        QVERIFY(QFile::exists(kept));

        restart(messages);
        QVERIFY(appState().TeacherName.isEmpty());
        QTemporaryDir inbox;
        TestServer server;
        TestServer::SmtpOptions options;
        options.folder = inbox.path();
        QString error;
        QVERIFY2(server.startSmtp(options, &error), qPrintable(error));
        Settings& settings = appState().Settings;
        settings.SmtpHost = QStringLiteral("127.0.0.1");
        settings.SmtpPort = QString::number(server.port());
        settings.SenderAddress = QString::fromLatin1(TestServer::kSmtpUser);
        settings.SmtpPassword = QString::fromLatin1(TestServer::kSmtpPassword);
        settings.SchoolAddress = QStringLiteral("sekretariat@szkola.test");
        settings.AllowPlainLogin = true; // the test server offers no STARTTLS

        QString folder;
        {
            ModalAnswer answer([&](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                QVERIFY(dialog);
                folder = QDir(dialog->directory()).absolutePath();
                dialog->selectFile(kept);
                QMetaObject::invokeMethod(dialog, "accept");
            });
            m_program->click("LPrzeslacGotowy");
            QVERIFY(answer.ran());
        }
        QCOMPARE(folder, QDir(year).absolutePath());
        QCOMPARE(appState().WizardStep, 5);
        auto* delivery = window<TFDecyzja>();
        QLabel* mail = part<QLabel>(delivery, "LPocztaTajna");
        QTest::mouseClick(mail, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(messages->texts(), QStringList{QStringLiteral(
                                        "List został pomyślnie wysłany.\rDziękuję i życzę miłego dnia.")});
        const QByteArray sent = readAll(QDir(inbox.path()).filePath(QStringLiteral("1.eml")));
        // "Kowalska Anna" in the subject, the sender's name and the signature.
        QVERIFY2(sent.contains("Subject: Sprawozdanie - Kowalska Anna"), sent.left(600).constData());
        QVERIFY(sent.contains("From: Kowalska Anna <"));
        QVERIFY(sent.contains("\r\nKowalska Anna"));
        QVERIFY(appState().TeacherName.isEmpty());
        // The log beside the reports tells the delivery.
        const QByteArray log = readAll(ReportArchive(appState().DataFolder).LogPath(QDate::currentDate()));
        QVERIFY2(log.contains("\tpoczta\tsekretariat@szkola.test\t") && log.endsWith("\tdostarczono\n"),
                 log.constData());

        // A file that is no report of this program is refused before anything is sent.
        const QString stranger = QDir(year).filePath(QStringLiteral("obcy.xml"));
        QVERIFY(writeFile(stranger, "<html><body>nie sprawozdanie</body></html>"));
        appState().DocumentPath = stranger;
        messages->clear();
        QTest::mouseClick(mail, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(messages->messages().size(), 1);
        QVERIFY(messages->texts().first().startsWith(
            QStringLiteral("Wskazany plik nie jest czytelnym sprawozdaniem")));
        QVERIFY(!QFile::exists(QDir(inbox.path()).filePath(QStringLiteral("2.eml"))));
    }
};

QTEST_MAIN(TestDrafts)
#include "tst_drafts.moc"
