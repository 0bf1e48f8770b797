#include "core/AppState.h"
#include "core/Hints.h"
#include "program/WizardMachine.h"
#include "program/WizardView.h"
#include "program/WizardWindows.h"
#include "support/MessageRecorder.h"
#include "support/ModalAnswer.h"
#include "support/TestFiles.h"
#include "support/TestServer.h"
#include "windows/delivery/DocumentFileDialogs.h"
#include "windows/delivery/UDecyzja.h"
#include "windows/parts/SkinPicture.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using TestFiles::writeFile;

const QString kSourceMissing =
    QStringLiteral("Plik do przekopiowania %1 nie istnieje.\rPrawdopodobnie został usunięty.");
const QString kFolderUnreachable =
    QStringLiteral("Folder docelowy jest niedostępny.\rPrawdopodobnie komputer jest wyłączony.");
const QString kCopyFailed =
    QStringLiteral("Wystąpił błąd przy przesyłaniu pliku.\rProszę skontaktować się z administratorem.");
const QString kSaveFailed = QStringLiteral(
    "Wystąpiły problemy z zapisem pliku.\rPrawdopodobnie nie masz prawa do zapisu w tym folderze.");
const QString kHomeMode =
    QStringLiteral("Pracujesz w trybie domowym.\rNie możesz przesłać pliku przez sieć szkolną.");
const QString kNetworkCopyDone =
    QStringLiteral("Plik został przesłany w miejsce docelowe.\rDziękuję i życzę miłego dnia.");
const QString kNetworkCopyFailed = QStringLiteral("Proponuję zapisać dokument na dysku i spróbować przesłać "
                                                  "później ponownie.\rDaj znać o swych problemach adminowi.");
const QString kMailSent = QStringLiteral("List został pomyślnie wysłany.\rDziękuję i życzę miłego dnia.");
const QString kMailFailed = QStringLiteral(
    "Wystąpiły problemy z wysłaniem listu.\rZapisz dokument i spróbuj dostarczyć go inną drogą.");
const QString kSaved = QStringLiteral("Dokument został zapisany w pliku:\r%1");
const QString kMailMayHaveArrived =
    QStringLiteral("Serwer poczty nie potwierdził przyjęcia listu, ale list mógł już dotrzeć do szkoły.\r"
                   "Sprawdź to w szkole, zanim wyślesz go ponownie.");
const QString kMailNoEncryption = QStringLiteral("Serwer poczty nie oferuje szyfrowania, więc list\ri hasło "
                                                 "nie zostały wysłane. Zapytaj administratora szkoły.");

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The teacher's answers to the file dialogs, in order; an empty answer cancels.
class ScriptedDialogs final : public DocumentFileDialogs
{
public:
    QStringList saveAnswers;
    QStringList openAnswers;
    QStringList suggestedNames;
    int opened = 0;

    QString ChooseSaveFile(QWidget* /*parent*/, const QString& suggestedName) override
    {
        suggestedNames << suggestedName;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    QString ChooseOpenFile(QWidget* /*parent*/) override
    {
        ++opened;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
};

// The main window as far as the send-existing flow needs it: the welcome panel and
// the open dialog of the delivery window.
class WelcomeOnlyView final : public WizardView
{
public:
    explicit WelcomeOnlyView(TFDecyzja& delivery) : m_delivery(delivery) {}
    bool welcome = true;
    int yellow = 0;

    void ShowWelcomePanel(bool visible) override { welcome = visible; }
    bool IsWelcomePanelVisible() const override { return welcome; }
    void ShowTeacherPanel(bool) override {}
    void ShowTopicPanel(bool) override {}
    void ShowBackArrow(bool) override {}
    void ShowForwardArrow(bool) override {}
    void SetYellowNumbers(int step) override { yellow = step; }
    void FocusTeacherList() override {}
    void FocusTopicList() override {}
    std::optional<QString> SelectedTeacher() const override { return std::nullopt; }
    int SelectedTopic() const override { return -1; }
    QString ChooseExistingDocument() override { return m_delivery.OpenPlik(); }
    int CheckForUpdate() override { return 0; }
    bool ReloadSchoolData() override { return true; }

private:
    TFDecyzja& m_delivery;
};

} // namespace

class TestDecyzja : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QWidget> m_main;
    TFDecyzja* m_window = nullptr;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<QTemporaryDir> m_dir;

    QLabel* way(const char* name) const { return m_window->findChild<QLabel*>(QString::fromLatin1(name)); }

    QString path(const QString& relative) const { return m_dir->filePath(relative); }

    // A report just written by an editor into the working folder.
    QByteArray writeReport(const QString& name,
                           const QByteArray& bytes = "<Szkola><Uczen1>A</Uczen1></Szkola>")
    {
        AppState& state = appState();
        state.SendExisting = false;
        state.DocumentFileName = name;
        writeFile(state.TempFolder + name + QStringLiteral(".xml"), bytes);
        return bytes;
    }

    void click(const char* name) { QTest::mouseClick(way(name), Qt::LeftButton, {}, QPoint(20, 10)); }

    // Starts the school's mail server with its inbox and points the settings at it.
    bool startSchoolServer(TestServer& server, const QString& inbox, const QString& schoolAddress)
    {
        TestServer::SmtpOptions options;
        options.folder = inbox;
        QString error;
        if (!QDir().mkpath(inbox) || !server.startSmtp(options, &error))
            return false;
        Settings& settings = appState().Settings;
        settings.SmtpHost = QStringLiteral("127.0.0.1");
        settings.SmtpPort = QString::number(server.port());
        settings.SenderAddress = QString::fromLatin1(TestServer::kSmtpUser);
        settings.SmtpPassword = QString::fromLatin1(TestServer::kSmtpPassword);
        settings.SchoolAddress = schoolAddress;
        // The test server offers no STARTTLS.
        settings.AllowPlainLogin = true;
        return true;
    }

    // The bytes of the one attachment of a received mail.
    static QByteArray attachmentOf(const QByteArray& mail)
    {
        const qsizetype disposition = mail.indexOf("Content-Disposition:");
        const qsizetype dataStart = mail.indexOf("\r\n\r\n", disposition) + 4;
        return QByteArray::fromBase64(mail.mid(dataStart, mail.indexOf("\r\n--", dataStart) - dataStart));
    }

private Q_SLOTS:
    void init()
    {
        appState() = AppState{};
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir().mkpath(path(QStringLiteral("temp"))));
        appState().TempFolder = path(QStringLiteral("temp/"));
        m_main = std::make_unique<QWidget>();
        m_main->setFixedSize(900, 650);
        m_window = new TFDecyzja(m_main.get());
        m_window->hide();
        m_window->SetFileDialogs(&m_dialogs);
        m_dialogs = ScriptedDialogs{};
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }

    void cleanup()
    {
        m_main.reset();
        m_window = nullptr;
        m_dir.reset();
    }

    void showsThreeWaysOverTheMainWindow()
    {
        QCOMPARE(way("LZapisNaDysku")->text(),
                 QString(23, QLatin1Char(' ')) + QStringLiteral("Chcę zapisać dokument na dysku"));
        QCOMPARE(way("LKopiowanieWSieci")->text(),
                 QString(25, QLatin1Char(' ')) +
                     QStringLiteral("Chcę przesłać dokument przez sieć szkolną"));
        QCOMPARE(way("LPocztaTajna")->text(),
                 QString(26, QLatin1Char(' ')) + QStringLiteral("Chcę wysłać dokument przez internet"));
        QCOMPARE(way("LPocztaWlasna")->text(), QStringLiteral("Outlook"));
        // The picture is decoded when the window is first shown.
        QVERIFY(way("ImTlo")->pixmap().isNull());
        // In the school's network all three ways can be used (and lit under the mouse).
        appState().Settings.WorkMode = QStringLiteral("sieciowy");

        appState().HintGroup = 0;
        m_window->ShowStepWindow();
        QVERIFY(m_window->isVisible());
        const QImage background = way("ImTlo")->pixmap().toImage();
        QVERIFY(!background.isNull());
        QCOMPARE(background, SkinPicture(QStringLiteral("tlodecyzja")).toImage());
        QCOMPARE(background.size(), QSize(585, 357));
        QCOMPARE(m_window->geometry(), QRect(192, 165, 585, 357));
        QCOMPARE(appState().HintGroup, int(HintGroupDelivery));
        QCOMPARE(appState().HintCount, 3);
        for (const char* visible : {"LZapisNaDysku", "LKopiowanieWSieci", "LPocztaTajna"})
            QVERIFY(way(visible)->isVisible());
        // The own-mail-program way is not offered: hidden, and below the window anyway.
        QVERIFY(!way("LPocztaWlasna")->isVisible());
        QVERIFY(way("LPocztaWlasna")->y() >= m_window->height());

        // The hover highlight follows the mouse; the background turns all ways white.
        const auto colourOf = [this](const char* name) {
            return way(name)->palette().color(QPalette::WindowText);
        };
        QTest::mouseMove(way("LKopiowanieWSieci"), QPoint(200, 10));
        QCOMPARE(colourOf("LKopiowanieWSieci"), QColor(Qt::yellow));
        QCOMPARE(colourOf("LZapisNaDysku"), QColor(Qt::white));
        QCOMPARE(colourOf("LPocztaTajna"), QColor(Qt::white));
        QTest::mouseMove(way("LPocztaTajna"), QPoint(200, 10));
        QCOMPARE(colourOf("LPocztaTajna"), QColor(Qt::yellow));
        QCOMPARE(colourOf("LKopiowanieWSieci"), QColor(Qt::white));
        QTest::mouseMove(way("ImTlo"), QPoint(20, 340));
        for (const char* name : {"LZapisNaDysku", "LKopiowanieWSieci", "LPocztaTajna", "LPocztaWlasna"})
            QCOMPARE(colourOf(name), QColor(Qt::white));

        QSignalSpy hints(m_window, &TFDecyzja::HideHint);
        QTest::mouseClick(way("ImTlo"), Qt::LeftButton, {}, QPoint(20, 340));
        QCOMPARE(hints.count(), 1);

        // The hidden way still answers a click: without the report it says so, and
        // it leaves the hint panel alone.
        MessageRecorder messages;
        appState().DocumentFileName = QStringLiteral("nie ma takiego");
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(way("LPocztaWlasna"), &release);
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Wystąpiły problemy z przygotowaniem "
                                                              "listu.\rBrak pliku we wskazanym folderze.")});
        QCOMPARE(hints.count(), 1);

        m_window->CloseStepWindow();
        QVERIFY(!m_window->isVisible());
        m_window->ShowStepWindow(); // shown again, at the same place
        QCOMPARE(m_window->pos(), QPoint(192, 165));
    }

    void savesToDisk()
    {
        MessageRecorder messages;
        const QByteArray report = writeReport(QStringLiteral("Werdykon 2b 101502"));
        m_window->ShowStepWindow();
        QSignalSpy hints(m_window, &TFDecyzja::HideHint);
        const QString saved = path(QStringLiteral("pendrive"));
        QVERIFY(QDir().mkpath(saved));

        // Cancelled: nothing written, nothing said.
        click("LZapisNaDysku");
        QCOMPARE(m_dialogs.suggestedNames, QStringList{QStringLiteral("Werdykon 2b 101502")});
        QVERIFY(entries(saved).isEmpty());
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(hints.count(), 1);

        // Saved, then saved again over the same file without a question.
        const QString target = saved + QStringLiteral("/Werdykon 2b.xml");
        const QString savedNotice = kSaved.arg(QDir::toNativeSeparators(target));
        m_dialogs.saveAnswers = {target};
        click("LZapisNaDysku");
        QCOMPARE(readFile(target), report);
        QCOMPARE(messages.texts(), QStringList{savedNotice});
        QCOMPARE(messages.messages().at(0).icon, int(IconInformation));
        const QByteArray corrected =
            writeReport(QStringLiteral("Werdykon 2b 101502"), "<Szkola>poprawiony</Szkola>");
        messages.clear();
        m_dialogs.saveAnswers = {target};
        click("LZapisNaDysku");
        QCOMPARE(readFile(target), corrected);
        QCOMPARE(messages.texts(), QStringList{savedNotice});
        messages.clear();
        QCOMPARE(entries(saved), QStringList{QStringLiteral("Werdykon 2b.xml")});

        // A folder nobody may write into, not even root: the copy fails, then the
        // save hint follows.
        m_dialogs.saveAnswers = {QStringLiteral("/proc/Werdykon 2b.xml")};
        click("LZapisNaDysku");
        QCOMPARE(messages.texts(), (QStringList{kCopyFailed, kSaveFailed}));
        QCOMPARE(messages.messages().at(0).icon, int(IconWarning));
        QCOMPARE(messages.messages().at(1).icon, int(IconInformation));

        // The chosen name is taken by a folder: the folder is left as it was, and no
        // unfinished copy lies beside it.
        messages.clear();
        const QString taken = saved + QStringLiteral("/zajete.xml");
        QVERIFY(QDir().mkpath(taken + QStringLiteral("/w_srodku")));
        m_dialogs.saveAnswers = {taken};
        click("LZapisNaDysku");
        QCOMPARE(messages.texts(), (QStringList{kCopyFailed, kSaveFailed}));
        QCOMPARE(entries(taken), QStringList{QStringLiteral("w_srodku")});
        QCOMPARE(entries(saved),
                 (QStringList{QStringLiteral("Werdykon 2b.xml"), QStringLiteral("zajete.xml")}));

        // A "folder" that is a file: the folder is unreachable.
        messages.clear();
        m_dialogs.saveAnswers = {target + QStringLiteral("/kopia.xml")};
        click("LZapisNaDysku");
        QCOMPARE(messages.texts(), (QStringList{kFolderUnreachable, kSaveFailed}));
        QCOMPARE(readFile(target), corrected);

        // The report was deleted from the working folder after the editor wrote it.
        messages.clear();
        QVERIFY(QFile::remove(appState().TempFolder + QStringLiteral("Werdykon 2b 101502.xml")));
        m_dialogs.saveAnswers = {saved + QStringLiteral("/nowy.xml")};
        click("LZapisNaDysku");
        QCOMPARE(messages.texts(),
                 (QStringList{kSourceMissing.arg(QStringLiteral("Werdykon 2b 101502.xml")), kSaveFailed}));
        QVERIFY(!QFile::exists(saved + QStringLiteral("/nowy.xml")));
        QCOMPARE(hints.count(), 7); // every click on a way, the cancelled one too

        // A document chosen from disk saved onto itself stays whole.
        messages.clear();
        appState().SendExisting = true;
        appState().DocumentPath = target;
        m_dialogs.saveAnswers = {target};
        click("LZapisNaDysku");
        QCOMPARE(messages.texts(), QStringList{savedNotice});
        QCOMPARE(readFile(target), corrected);
    }

    // The program's own file dialogs: their titles, the report filter, the teacher's
    // documents folder and the suggested name.
    void realDialogsOpenInTheDocumentsFolder()
    {
        writeReport(QStringLiteral("Werdykon 3c 081500"));
        m_window->SetFileDialogs(nullptr);
        m_window->ShowStepWindow();
        QString title;
        QString folder;
        QString name;
        QStringList filters;
        const auto look = [&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            folder = QDir(dialog->directory()).absolutePath();
            filters = dialog->nameFilters();
            const QList<QLineEdit*> edits = dialog->findChildren<QLineEdit*>(QStringLiteral("fileNameEdit"));
            name = edits.isEmpty() ? QString() : edits.first()->text();
            dialog->reject();
        };
        MessageRecorder messages;
        {
            ModalAnswer answer(look);
            click("LZapisNaDysku");
            QVERIFY(answer.ran());
        }
        QCOMPARE(title, QStringLiteral("Wskaż miejsce zapisu"));
        QCOMPARE(folder, QDir(ReportsFolder()).absolutePath());
        QCOMPARE(name, QStringLiteral("Werdykon 3c 081500"));
        QCOMPARE(filters, QStringList{QStringLiteral("Plik sprawozdania (.xml) (*.xml)")});
        {
            ModalAnswer answer(look);
            QVERIFY(m_window->OpenPlik().isEmpty());
            QVERIFY(answer.ran());
        }
        QCOMPARE(title, QStringLiteral("Wskaż plik sprawozdania"));
        QCOMPARE(folder, QDir(ReportsFolder()).absolutePath());
        QVERIFY(messages.texts().isEmpty());
    }

    void copiesIntoTheNetworkFolder()
    {
        MessageRecorder messages;
        const QString network = path(QStringLiteral("serwer/sprawozdania/"));
        QVERIFY(QDir().mkpath(network));
        AppState& state = appState();
        state.Settings.NetworkFolder = network;
        const QByteArray first = writeReport(QStringLiteral("Zachowanie 3a 120000"));
        m_window->ShowStepWindow();

        // Home mode, and anything that is not exactly "sieciowy", copies nothing: the
        // way is shown dimmed with the reason, and a click on it does nothing.
        for (const QString& mode : {QStringLiteral("lokalny"), QStringLiteral("Sieciowy"), QString()}) {
            state.Settings.WorkMode = mode;
            m_window->CloseStepWindow();
            m_window->ShowStepWindow();
            QVERIFY(!way("LKopiowanieWSieci")->isEnabled());
            QCOMPARE(way("LKopiowanieWSieci")->accessibleDescription(), TFDecyzja::kNetworkWayUnavailable);
            messages.clear();
            click("LKopiowanieWSieci");
            QVERIFY(messages.texts().isEmpty());
            QVERIFY(entries(network).isEmpty());
        }

        state.Settings.WorkMode = QStringLiteral("sieciowy");
        m_window->CloseStepWindow();
        m_window->ShowStepWindow();
        QVERIFY(way("LKopiowanieWSieci")->isEnabled());
        messages.clear();
        click("LKopiowanieWSieci");
        QCOMPARE(messages.texts(), QStringList{kNetworkCopyDone});
        QCOMPARE(readFile(network + QStringLiteral("Zachowanie 3a 120000.xml")), first);

        // Sent again under the same name: the earlier copy is replaced.
        const QByteArray second =
            writeReport(QStringLiteral("Zachowanie 3a 120000"), "<Szkola>druga</Szkola>");
        messages.clear();
        click("LKopiowanieWSieci");
        QCOMPARE(messages.texts(), QStringList{kNetworkCopyDone});
        QCOMPARE(readFile(network + QStringLiteral("Zachowanie 3a 120000.xml")), second);
        QCOMPARE(entries(network), QStringList{QStringLiteral("Zachowanie 3a 120000.xml")});

        // A link planted under the report's name, to a file outside the folder or to
        // none: the link is replaced by the copy, what it pointed to stays untouched.
        const QString outside = path(QStringLiteral("poza/hasla.txt"));
        QVERIFY(QDir().mkpath(path(QStringLiteral("poza"))));
        QVERIFY(writeFile(outside, "nie ruszac"));
        const QString copy = network + QStringLiteral("Zachowanie 3a 120000.xml");
        for (const QString& pointed : {outside, path(QStringLiteral("poza/nowy.txt"))}) {
            QVERIFY(QFile::remove(copy));
            QVERIFY(QFile::link(pointed, copy));
            messages.clear();
            click("LKopiowanieWSieci");
            QCOMPARE(messages.texts(), QStringList{kNetworkCopyDone});
            QVERIFY(!QFileInfo(copy).isSymLink());
            QCOMPARE(readFile(copy), second);
            QCOMPARE(readFile(outside), QByteArray("nie ruszac"));
            QCOMPARE(entries(path(QStringLiteral("poza"))), QStringList{QStringLiteral("hasla.txt")});
        }
        QCOMPARE(entries(network), QStringList{QStringLiteral("Zachowanie 3a 120000.xml")});

        // A document chosen from disk goes under its own name; the working folder
        // plays no part.
        const QString earlier = path(QStringLiteral("dokumenty/Karta 1c.xml"));
        QVERIFY(QDir().mkpath(path(QStringLiteral("dokumenty"))));
        QVERIFY(writeFile(earlier, "<Szkola>wczesniejszy</Szkola>"));
        state.SendExisting = true;
        state.DocumentPath = earlier;
        state.DocumentFileName = QStringLiteral("Karta 1c.xml");
        state.TempFolder = path(QStringLiteral("nie-ma/"));
        messages.clear();
        click("LKopiowanieWSieci");
        QCOMPARE(messages.texts(), QStringList{kNetworkCopyDone});
        QCOMPARE(readFile(network + QStringLiteral("Karta 1c.xml")),
                 QByteArray("<Szkola>wczesniejszy</Szkola>"));

        // The server with the network folder is off.
        state.Settings.NetworkFolder = path(QStringLiteral("wylaczony/sprawozdania/"));
        messages.clear();
        click("LKopiowanieWSieci");
        QCOMPARE(messages.texts(), (QStringList{kFolderUnreachable, kNetworkCopyFailed}));
        QCOMPARE(messages.messages().at(0).icon, int(IconWarning));

        // The chosen document has gone meanwhile: named as it was picked, once.
        state.Settings.NetworkFolder = network;
        QVERIFY(QFile::remove(earlier));
        messages.clear();
        click("LKopiowanieWSieci");
        QCOMPARE(messages.texts(),
                 (QStringList{kSourceMissing.arg(QStringLiteral("Karta 1c.xml")), kNetworkCopyFailed}));
    }

    void mailsTheReportToTheSchool()
    {
        const QString inbox = path(QStringLiteral("inbox"));
        TestServer server;
        QVERIFY(startSchoolServer(server, inbox,
                                  QStringLiteral("sekretariat@szkola.test, dyrektor@szkola.test")));
        AppState& state = appState();
        state.TeacherName = QStringLiteral("Kaśka Bąk");
        const QByteArray report = writeReport(QStringLiteral("Werdykon 4c 093011"));
        m_window->ShowStepWindow();
        MessageRecorder messages;
        QSignalSpy hints(m_window, &TFDecyzja::HideHint);

        click("LPocztaTajna");
        QCOMPARE(messages.texts(), QStringList{kMailSent});
        QCOMPARE(messages.messages().at(0).icon, int(IconInformation));
        QCOMPARE(hints.count(), 1);
        const QJsonObject meta =
            QJsonDocument::fromJson(readFile(QDir(inbox).filePath(QStringLiteral("1.json")))).object();
        QCOMPARE(meta.value(QStringLiteral("mail_from")).toString(), state.Settings.SenderAddress);
        QCOMPARE(
            meta.value(QStringLiteral("rcpt_tos")).toVariant().toStringList(),
            (QStringList{QStringLiteral("sekretariat@szkola.test"), QStringLiteral("dyrektor@szkola.test")}));
        QVERIFY(meta.value(QStringLiteral("authenticated")).toBool());
        const QByteArray mail = readFile(QDir(inbox).filePath(QStringLiteral("1.eml")));
        QVERIFY(mail.contains("Subject: =?ISO-8859-2?Q?Sprawozdanie_-_Ka=B6ka_B=B1k?=\r\n"));
        QCOMPARE(mail.count("Content-Disposition:"), 1);
        QCOMPARE(attachmentOf(mail), report);

        // A wrong password: no mail, the failure message, and the window goes on.
        messages.clear();
        state.Settings.SmtpPassword = QStringLiteral("pomylone");
        click("LPocztaTajna");
        QCOMPARE(messages.texts(), QStringList{kMailFailed});

        // A port that is not a number is a failed send like any other.
        messages.clear();
        state.Settings.SmtpPassword = QString::fromLatin1(TestServer::kSmtpPassword);
        state.Settings.SmtpPort = QStringLiteral("25a");
        click("LPocztaTajna");
        QCOMPARE(messages.texts(), QStringList{kMailFailed});

        // The school does not allow a login in clear, and this server offers no
        // STARTTLS: nothing is sent, and the teacher is told why.
        messages.clear();
        state.Settings.SmtpPort = QString::number(server.port());
        state.Settings.AllowPlainLogin = false;
        const QString logins = QDir(inbox).filePath(QStringLiteral("auth.log"));
        const QByteArray loginsBefore = readFile(logins);
        click("LPocztaTajna");
        QCOMPARE(messages.texts(), QStringList{kMailNoEncryption});
        QCOMPARE(QDir(inbox).entryList({QStringLiteral("*.eml")}), QStringList{QStringLiteral("1.eml")});
        QCOMPARE(readFile(logins), loginsBefore); // no login was even tried
        state.Settings.AllowPlainLogin = true;

        // The server goes away once the whole message is on its way: it may have it.
        TestServer dropper;
        TestServer::SmtpOptions dropOptions;
        dropOptions.folder = inbox;
        dropOptions.dropInData = true;
        QString error;
        QVERIFY2(dropper.startSmtp(dropOptions, &error), qPrintable(error));
        state.Settings.SmtpPort = QString::number(dropper.port());
        messages.clear();
        click("LPocztaTajna");
        QCOMPARE(messages.texts(), QStringList{kMailMayHaveArrived});
        QCOMPARE(QDir(inbox).entryList({QStringLiteral("*.eml")}), QStringList{QStringLiteral("1.eml")});

        // Tried again at once: one mail, one attachment, nothing left from the failures.
        state.Settings.SmtpPort = QString::number(server.port());
        messages.clear();
        click("LPocztaTajna");
        QCOMPARE(messages.texts(), QStringList{kMailSent});
        QCOMPARE(readFile(QDir(inbox).filePath(QStringLiteral("2.eml"))).count("Content-Disposition:"), 1);
        QVERIFY(!QFile::exists(QDir(inbox).filePath(QStringLiteral("3.eml"))));
    }

    // From "Chcę przesłać przygotowany wcześniej dokument" to the mail, through the
    // wizard's step machine and this window's open dialog.
    void sendsADocumentPreparedEarlier()
    {
        const QString inbox = path(QStringLiteral("inbox"));
        TestServer server;
        QVERIFY(startSchoolServer(server, inbox, QStringLiteral("sekretariat@szkola.test")));
        AppState& state = appState();
        state.TeacherName = QStringLiteral("Nowak Jan");
        state.TempFolder = path(QStringLiteral("nie-ma/")); // not used for a chosen document

        const QString earlier = path(QStringLiteral("Uzasadnienie 2a.xml"));
        const QByteArray report = "<?xml version=\"1.0\"  encoding=\"Windows-1250\"?>\r\n<Szkola>\r\n"
                                  "\t<Belfer>Nowak Jan</Belfer>\r\n</Szkola>\r\n";
        QVERIFY(writeFile(earlier, report));

        WelcomeOnlyView view(*m_window);
        WizardWindows windows;
        windows.SetDelivery(m_window);
        WizardMachine wizard(view, windows);
        wizard.ResetWizard();
        MessageRecorder messages;

        // Cancelled: the welcome panel stays.
        wizard.SendExistingDocument();
        QCOMPARE(m_dialogs.opened, 1);
        QVERIFY(view.welcome);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(state.WizardStep, int(WizardMachine::StepWelcome));

        m_dialogs.openAnswers = {earlier};
        wizard.SendExistingDocument();
        QVERIFY(!view.welcome);
        QVERIFY(m_window->isVisible());
        QCOMPARE(state.WizardStep, int(WizardMachine::StepDelivery));
        QCOMPARE(view.yellow, 5);
        QCOMPARE(state.DocumentFileName, QStringLiteral("Uzasadnienie 2a.xml"));

        click("LPocztaTajna");
        QCOMPARE(messages.texts(), QStringList{kMailSent});
        QCOMPARE(attachmentOf(readFile(QDir(inbox).filePath(QStringLiteral("1.eml")))), report);

        // Back leads to the welcome panel and closes the window.
        wizard.GoBack();
        QVERIFY(view.welcome);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(state.WizardStep, int(WizardMachine::StepWelcome));
    }
};

QTEST_MAIN(TestDecyzja)
#include "tst_decyzja.moc"
