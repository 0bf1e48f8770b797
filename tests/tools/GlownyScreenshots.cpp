// Starts the main window on the demo school in a scratch data folder and saves a
// picture of each step it can reach without an editor (the delivery window through
// a report prepared earlier), plus the hint panel and the about window.
#include "delivery/UDecyzja.h"
#include "document/ValueCipher.h"
#include "shell/Hints.h"
#include "shell/UAbout.h"
#include "shell/UGlowny.h"
#include "shell/WizardMachine.h"
#include "shell/WizardWindows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
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

    TFGlowny main;
    auto* decyzja = new TFDecyzja;
    main.AttachWindow(decyzja, QPoint(TFDecyzja::kLeftOffset, TFDecyzja::kTopOffset));
    wizardWindows().SetDelivery(decyzja);
    const QString earlier = scratch.filePath(QStringLiteral("Nowak_Anna_081530.xml"));
    main.SetDocumentChooser([earlier] { return earlier; });
    main.show();
    if (!main.isStarted()) {
        std::fprintf(stderr, "tabulon-screenshots: the program did not start on the demo school\n");
        return 1;
    }
    bool ok = save(&main, out, QStringLiteral("powitanie.png"));

    click(&main, "LPodpowiedz");
    ok = save(&main, out, QStringLiteral("podpowiedz.png")) && ok;
    click(&main, "ImTlo", QPoint(450, 300));

    click(&main, "LNowaWerdykon");
    main.findChild<QListWidget*>(QStringLiteral("BListaNauczycieli"))->setCurrentRow(4);
    ok = save(&main, out, QStringLiteral("nauczyciele.png")) && ok;

    click(&main, "ImNaprzod");
    main.findChild<QListWidget*>(QStringLiteral("blistazagadnien"))->setCurrentRow(3);
    ok = save(&main, out, QStringLiteral("zagadnienia.png")) && ok;

    click(&main, "ImWstecz");
    click(&main, "ImWstecz");
    click(&main, "LPrzeslacGotowy");
    ok = save(&main, out, QStringLiteral("wysylka.png")) && ok;
    wizardWindows().Clear();

    TFAbout about;
    about.show();
    ok = save(&about, out, QStringLiteral("oprogramie.png")) && ok;
    return ok ? 0 : 1;
}
