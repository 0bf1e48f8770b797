// Pictures of the real collecting window for the help page and the README (not a test):
//   build/tests/tabulon-zbiorka-screenshots OUTPUT_FOLDER
// With QT_SCALE_FACTOR=2 the pictures are named "...@2x.png".
#include "support/CollectionSample.h"
#include "support/TestFiles.h"
#include "windows/zbiorka/CollectWorker.h"
#include "windows/zbiorka/ReportWindow.h"
#include "windows/zbiorka/ZbiorkaWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

bool save(QWidget* window, const QString& folder, const QString& name)
{
    QApplication::processEvents();
    const QString suffix = window->devicePixelRatioF() > 1.5 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
    const QString path = QDir(folder).filePath(name + suffix);
    if (!window->grab().save(path)) {
        std::fprintf(stderr, "tabulon-zbiorka-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tabulon-zbiorka-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    // The sample sits in a folder of its own beside the pictures, so that the paths the
    // window shows, and so the pictures, are the same on every run into the same folder.
    struct Sample
    {
        QString folder;
        QString path() const { return folder; }
        QString filePath(const QString& name) const { return folder + QLatin1Char('/') + name; }
        ~Sample() { QDir(folder).removeRecursively(); }
    } temp{QDir(out).absoluteFilePath(QStringLiteral("probka"))};
    QDir(temp.path()).removeRecursively();
    if (!QDir().mkpath(temp.path()))
        return 1;
    qputenv("XDG_DATA_HOME", temp.filePath(QStringLiteral("home")).toLocal8Bit());
    CollectionSample sample;
    if (!sample.write(temp.path()))
        return 1;
    // The mailed reports as a mailbox file exported from a mail program.
    QByteArray mbox;
    for (const QByteArray& mail : std::as_const(sample.Mails))
        mbox += "From nauczyciel@szkola.pl Fri Jun 19 10:00:00 2026\n" + mail + "\n";
    const QString mboxPath = temp.filePath(QStringLiteral("sekretariat.mbox"));
    if (!TestFiles::writeFile(mboxPath, mbox))
        return 1;

    ZbiorkaWindow window;
    window.setUseKeyring(false);
    CollectionSources s;
    s.Paths = {sample.NetworkFolder, mboxPath};
    s.Imap.Host = QStringLiteral("poczta.szkola.pl");
    s.Imap.User = QStringLiteral("sekretariat@szkola.pl");
    s.DataFolder = sample.DataFolder;
    window.setSources(s);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    bool ok = save(&window, out, QStringLiteral("zbiorka-start"));
    QSignalSpy done(window.worker(), &CollectWorker::finished);
    if (!window.collect() || !done.wait(60000))
        return 1;
    auto* tabs = window.findChild<QTabWidget*>();
    ok = save(&window, out, QStringLiteral("zbiorka")) && ok;
    tabs->setCurrentIndex(1);
    ok = save(&window, out, QStringLiteral("zbiorka-klasy")) && ok;
    tabs->setCurrentIndex(4);
    ok = save(&window, out, QStringLiteral("zbiorka-zestawienie")) && ok;
    tabs->setCurrentIndex(0);
    window.findChild<QCheckBox*>(QStringLiteral("OnlyMissing"))->setChecked(true);
    ok = save(&window, out, QStringLiteral("zbiorka-braki")) && ok;
    window.findChild<QCheckBox*>(QStringLiteral("OnlyMissing"))->setChecked(false);

    // A document's window, as a double click shows it.
    QTableView* teachers = nullptr;
    for (QTableView* view : window.findChildren<QTableView*>()) {
        if (view->accessibleName() == QStringLiteral("Nauczyciele i tematy"))
            teachers = view;
    }
    QTimer::singleShot(300, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ok = save(dialog, out, QStringLiteral("zbiorka-dokument")) && ok;
            dialog->reject();
        }
    });
    teachers->setFocus();
    teachers->setCurrentIndex(teachers->model()->index(0, 1));
    QTest::keyClick(teachers, Qt::Key_Return);
    return ok ? 0 : 1;
}
