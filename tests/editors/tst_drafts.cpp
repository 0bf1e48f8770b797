#include "ZachowanieSteps.h"
#include "delivery/ReportArchive.h"
#include "delivery/UDecyzja.h"
#include "editors/DraftStore.h"
#include "editors/URealizacjaProgramu.h"
#include "editors/UWerdykon.h"
#include "editors/UZachowanie.h"
#include "shell/AppState.h"
#include "shell/SchoolData.h"
#include "shell/UGlowny.h"
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

const QString kCloseQuestion = QStringLiteral(
    "Wpisane dane nie zostały jeszcze dostarczone.\rZamknąć program? Tak – szkic zostanie na następny raz, "
    "Nie – szkic zostanie usunięty.");

} // namespace

// The teacher's input through the program's own windows: drafts that survive a killed
// program, the questions before closing and before a class change, the mouse wheel
// over a class list, and a report sent later in its own teacher's name.
class TestDrafts : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RunningProgram> m_program;

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
        m_program = std::make_unique<RunningProgram>([] {
            schoolData() = SchoolData{};
            schoolData().Classes = goldenSchool();
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
        messages->scriptAnswers({AnswerYes});
        openEditor(topic);
        QVERIFY(editorOf(topic)->isVisible());
        QCOMPARE(messages->messages().size(), 1);
        const QString question = messages->messages().first().text;
        QCOMPARE(messages->messages().first().kind, int(KindQuestion));
        QVERIFY2(question.contains(about) &&
                     question.startsWith(QStringLiteral("Kontynuować niedokończony szkic")),
                 qPrintable(question));

        m_program->click("ImNaprzod");
        QCOMPARE(appState().WizardStep, 4);
        QCOMPARE(appState().DocumentFileName, firstName);
        QCOMPARE(writtenReport(), firstReport);
        // The working folder was emptied at start; the archive still has the first.
        const ReportArchive archive(appState().DataFolder);
        const QString kept =
            QDir(archive.YearFolder(QDate::currentDate())).filePath(firstName + QStringLiteral(".xml"));
        QCOMPARE(withoutDate(readAll(kept)), firstReport);
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

    void closingAsksOnlyForUndeliveredInput()
    {
        std::optional<MessageRecorder> messages(std::in_place);
        openEditor(kTopicRealProgramu);
        // Nothing typed: the program closes without a question.
        QVERIFY(main()->close());
        QVERIFY(messages->messages().isEmpty());

        restart(messages);
        openEditor(kTopicRealProgramu);
        QTest::keyClicks(part<QPlainTextEdit>(window<TFRealProgramu>(), "Mogolne"), QStringLiteral("Wstep"));
        messages->scriptAnswers({AnswerCancel, AnswerNo});
        QVERIFY(!main()->close());
        QVERIFY(main()->isVisible());
        QCOMPARE(messages->texts(), QStringList{kCloseQuestion});
        QVERIFY(QFile::exists(draftPath(kTopicRealProgramu))); // written before asking
        QVERIFY(main()->close());
        QVERIFY(!QFile::exists(draftPath(kTopicRealProgramu)));

        // Tak closes and keeps the draft for the next start.
        restart(messages);
        openEditor(kTopicRealProgramu);
        QTest::keyClicks(part<QPlainTextEdit>(window<TFRealProgramu>(), "Mogolne"), QStringLiteral("Wstep"));
        messages->scriptAnswers({AnswerYes});
        QVERIFY(main()->close());
        QCOMPARE(messages->texts(), QStringList{kCloseQuestion});
        QCOMPARE(draftInput(kTopicRealProgramu).value(QStringLiteral("ogolne")).toString(),
                 QStringLiteral("Wstep"));
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

        // Chosen on purpose, the change asks; Nie puts the class back.
        messages.scriptAnswers({AnswerNo, AnswerYes});
        classes->setCurrentIndex(1);
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(
            messages.messages().first().text,
            QStringLiteral(
                "Zmiana klasy usunie wszystko, co wpisano dla klasy „IIIb <gim>”.\rZmienić klasę na „0a”?"));
        QCOMPARE(classes->currentIndex(), 0);
        QCOMPARE(items(editor, "L100Frekwencja"), QStringList{QStringLiteral("Bąk Zofia")});
        classes->setCurrentIndex(1);
        QCOMPARE(classes->currentIndex(), 1);
        QVERIFY(items(editor, "L100Frekwencja").isEmpty());
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
