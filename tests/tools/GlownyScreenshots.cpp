// Starts the program's windows on the demo school in a scratch data folder and saves
// a picture of each step of a class classification report, from the welcome panel to
// the delivery window, plus the hint panel and the about window.
#include "core/AppState.h"
#include "core/Messages.h"
#include "drafts/DraftStore.h"
#include "drafts/EditorDrafts.h"
#include "encoding/ValueCipher.h"
#include "windows/ProgramWindows.h"
#include "windows/UAbout.h"
#include "windows/UGlowny.h"
#include "windows/editors/ClassEditor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

bool prepareInstallation(const QString& dataHome)
{
    const QString program = dataHome + QStringLiteral("/Orvix/Tabulon");
    if (!QDir().mkpath(program + QStringLiteral("/Files")))
        return false;
    const QStringList lines = {QStringLiteral("Tabulon"),
                               QStringLiteral("lokalny"),
                               QString(),
                               QStringLiteral("http://127.0.0.1:9"),
                               QStringLiteral("25"),
                               QStringLiteral("127.0.0.1"),
                               QStringLiteral("nauczyciel@sp7-zielonyjar.demo"),
                               QStringLiteral("demo"),
                               QStringLiteral("sekretariat@sp7-zielonyjar.demo")};
    QFile settings(program + QStringLiteral("/Tabulon.ini"));
    if (!settings.open(QIODevice::WriteOnly))
        return false;
    for (const QString& line : lines)
        settings.write(EncodeValue(line).toLatin1() + "\r\n");
    settings.close();
    // The plain demo files: the program reads them as a school without encoding.
    for (const char* name : {"nauczyciele.kbs", "przedmioty.kps", "uczniowie.kls"}) {
        const QString file = QString::fromLatin1(name);
        if (!QFile::copy(QStringLiteral(TABULON_SOURCE_DIR "/demo/school/") + file,
                         program + QStringLiteral("/Files/") + file))
            return false;
    }
    return true;
}

bool save(QWidget* window, const QString& folder, const QString& name)
{
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name);
    if (!window->grab().save(path)) {
        std::fprintf(stderr, "tabulon-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

void click(QWidget* main, const char* control, QPoint at = QPoint(5, 5))
{
    QTest::mouseClick(main->findChild<QWidget*>(QString::fromLatin1(control)), Qt::LeftButton, {}, at);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tabulon-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir scratch;
    if (!scratch.isValid() || !prepareInstallation(scratch.path())) {
        std::fprintf(stderr, "tabulon-screenshots: cannot prepare the scratch installation\n");
        return 1;
    }
    qputenv("XDG_DATA_HOME", QFile::encodeName(scratch.path()));

    // The program's own windows, laid over the main window as the program lays them.
    ProgramWindows windows;
    TFGlowny& main = *windows.mainWindow();
    main.show();
    if (!main.isStarted()) {
        std::fprintf(stderr, "tabulon-screenshots: the program did not start on the demo school\n");
        return 1;
    }
    bool ok = save(&main, out, QStringLiteral("powitanie.png"));

    click(&main, "LPodpowiedz");
    ok = save(&main, out, QStringLiteral("podpowiedz.png")) && ok;
    click(&main, "ImTlo", QPoint(450, 300));

    // The welcome panel telling which drafts wait.
    {
        const DraftStore store(appState().DataFolder);
        Draft first;
        first.Teacher = appState().TeacherNames.value(4);
        first.Topic = 1;
        first.Changed = QDateTime(QDate::currentDate(), QTime(14, 5));
        first.About = QStringLiteral("klasa 4a");
        first.Input = QJsonObject{{QStringLiteral("x"), 1}};
        Draft second = first;
        second.Teacher = appState().TeacherNames.value(1);
        second.Topic = 5;
        second.Changed = QDateTime(QDate::currentDate().addDays(-2), QTime(19, 40));
        second.About = QStringLiteral("Matematyka, klasa 6b");
        ok = store.Write(first) && store.Write(second) && ok;
        click(&main, "LNowaWerdykon");
        click(&main, "ImWstecz");
        ok = save(&main, out, QStringLiteral("powitanie-szkice.png")) && ok;
        store.Remove(first.Teacher, first.Topic);
        store.Remove(second.Teacher, second.Topic);
        click(&main, "LNowaWerdykon");
        click(&main, "ImWstecz");
    }

    // The longest question the program asks about a draft, and the notice after a
    // draft is restored into a class that changed.
    {
        Draft offered;
        offered.Changed = QDateTime(QDate(2026, 10, 28), QTime(21, 15));
        offered.About = QStringLiteral("Wiedza o społeczeństwie, klasa 3b dwujęzyczna");
        const auto shoot = [&ok, &out](const QString& name) {
            QTimer::singleShot(300, [&ok, &out, name] {
                QWidget* dialog = QApplication::activeModalWidget();
                if (!dialog) {
                    std::fprintf(stderr, "tabulon-screenshots: no message for %s\n", qPrintable(name));
                    ok = false;
                    return;
                }
                ok = save(dialog, out, name) && ok;
                QTest::keyClick(dialog, Qt::Key_Escape);
            });
        };
        shoot(QStringLiteral("szkic-pytanie.png"));
        AskNamed(IconQuestion,
                 EditorDrafts::OfferText(QStringLiteral("Realizacja programu z przedmiotu nauczania"), offered),
                 EditorDrafts::OfferAnswers());
        shoot(QStringLiteral("szkic-uczniowie.png"));
        ShowMessage(KindNotice, IconInformation,
                    ClassEditor::PupilChangesNotice(
                        QStringLiteral("3b dwujęzyczna"),
                        {QStringLiteral("Wierzbicka-Dąbrowska Małgorzata"), QStringLiteral("Szczepańczyk Przemysław"),
                         QStringLiteral("Kowalczyk Jan")},
                        {QStringLiteral("Nowakowska Zuzanna"), QStringLiteral("Zięba Olek")}));
        shoot(QStringLiteral("zamkniecie.png"));
        AskNamed(IconQuestion, CloseQuestionText(), CloseQuestionAnswers());
    }

    click(&main, "LNowaWerdykon");
    main.findChild<QListWidget*>(QStringLiteral("BListaNauczycieli"))->setCurrentRow(4);
    ok = save(&main, out, QStringLiteral("nauczyciele.png")) && ok;

    click(&main, "ImNaprzod");
    auto* topics = main.findChild<QListWidget*>(QStringLiteral("blistazagadnien"));
    topics->setCurrentRow(3);
    ok = save(&main, out, QStringLiteral("zagadnienia.png")) && ok;

    // The class classification editor with a little typed in, its preview and the
    // delivery window.
    topics->setCurrentRow(0);
    click(&main, "ImNaprzod");
    QWidget* editor = main.findChild<QWidget*>(QStringLiteral("FWerdykon"));
    if (!editor || !editor->isVisible()) {
        std::fprintf(stderr, "tabulon-screenshots: the class editor did not open\n");
        return 1;
    }
    editor->findChild<QLineEdit*>(QStringLiteral("EPromowanych"))->setText(QStringLiteral("24"));
    click(editor, "LFrekwencja");
    auto* pupils = editor->findChild<QListWidget*>(QStringLiteral("LUczniowieFrekwencja"));
    for (int row : {2, 7}) {
        pupils->setCurrentRow(row);
        click(editor, "LDodajFrekwencja");
    }
    ok = save(&main, out, QStringLiteral("werdykon.png")) && ok;

    click(&main, "ImNaprzod");
    ok = save(&main, out, QStringLiteral("podglad.png")) && ok;

    click(&main, "ImNaprzod");
    ok = save(&main, out, QStringLiteral("wysylka.png")) && ok;

    // Back to the topic list for the conduct editor with two exemplary pupils, and
    // the justification editor with two pupils chosen.
    for (int step = 0; step < 3; ++step)
        click(&main, "ImWstecz");
    topics->setCurrentRow(1);
    click(&main, "ImNaprzod");
    QWidget* conduct = main.findChild<QWidget*>(QStringLiteral("FZachowania"));
    if (!conduct || !conduct->isVisible()) {
        std::fprintf(stderr, "tabulon-screenshots: the conduct editor did not open\n");
        return 1;
    }
    click(conduct, "LFrekwencja");
    auto* exemplary = conduct->findChild<QListWidget*>(QStringLiteral("LUczniowieWzorowe"));
    for (int row : {1, 4}) {
        exemplary->setCurrentRow(row);
        click(conduct, "LDodajWzorowego");
    }
    ok = save(&main, out, QStringLiteral("zachowanie.png")) && ok;

    click(&main, "ImWstecz");
    topics->setCurrentRow(5);
    click(&main, "ImNaprzod");
    QWidget* justification = main.findChild<QWidget*>(QStringLiteral("FUzasadnienie"));
    if (!justification || !justification->isVisible()) {
        std::fprintf(stderr, "tabulon-screenshots: the justification editor did not open\n");
        return 1;
    }
    auto* failing = justification->findChild<QListWidget*>(QStringLiteral("LUczniowie"));
    // One pupil justified already: the list on the right shows the subject and the
    // start of the text beside the name.
    if (failing->count() > 1) {
        failing->item(1)->setSelected(true);
        QTimer::singleShot(300, [] {
            QWidget* dialog = QApplication::activeModalWidget();
            auto* text = dialog ? dialog->findChild<QPlainTextEdit*>(QStringLiteral("MTekst")) : nullptr;
            if (!text)
                return;
            text->insertPlainText(QStringLiteral("Uczeń nie oddał żadnej z trzech prac pisemnych i nie "
                                                 "skorzystał z zaproponowanych terminów poprawy."));
            click(dialog, "LWprowadz");
        });
        click(justification, "LUzasadniaj");
        failing->clearSelection();
    }
    for (int row : {3, 6}) {
        if (row < failing->count())
            failing->item(row)->setSelected(true);
    }
    ok = save(&main, out, QStringLiteral("uzasadnienie.png")) && ok;

    // The subject curriculum editor with its fields filled in.
    click(&main, "ImWstecz");
    topics->setCurrentRow(3);
    click(&main, "ImNaprzod");
    QWidget* curriculum = main.findChild<QWidget*>(QStringLiteral("FRealProgramu"));
    if (!curriculum || !curriculum->isVisible()) {
        std::fprintf(stderr, "tabulon-screenshots: the curriculum editor did not open\n");
        return 1;
    }
    curriculum->findChild<QLineEdit*>(QStringLiteral("EKlasy"))->setText(QStringLiteral("IV, V"));
    curriculum->findChild<QPlainTextEdit*>(QStringLiteral("Mogolne"))
        ->setPlainText(QStringLiteral("Program nauczania zrealizowano w całości. Uczniowie wykonali "
                                      "wszystkie zaplanowane doświadczenia."));
    curriculum->findChild<QPlainTextEdit*>(QStringLiteral("MSukcesy"))
        ->setPlainText(QStringLiteral("Dwoje uczniów zakwalifikowało się do etapu rejonowego konkursu."));
    ok = save(&main, out, QStringLiteral("realizacja.png")) && ok;

    // The question before writing a report with characters it cannot hold; Nie goes
    // back to the editor.
    curriculum->findChild<QPlainTextEdit*>(QStringLiteral("MSukcesy"))
        ->setPlainText(QStringLiteral("Konkurs „Кенгуру” – drugie miejsce 🏆"));
    QTimer::singleShot(300, [&ok, &out] {
        QWidget* question = QApplication::activeModalWidget();
        if (!question) {
            std::fprintf(stderr, "tabulon-screenshots: no question before writing\n");
            ok = false;
            return;
        }
        ok = save(question, out, QStringLiteral("znaki.png")) && ok;
        QTest::keyClick(question, Qt::Key_N);
    });
    click(&main, "ImNaprzod");

    TFAbout about;
    about.show();
    ok = save(&about, out, QStringLiteral("oprogramie.png")) && ok;
    return ok ? 0 : 1;
}
