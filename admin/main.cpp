#include "admin/Command.h"
#include "core/CommandLine.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <memory>

namespace {

void printUsage()
{
    QString text = QStringLiteral("Użycie: tabulon-admin POLECENIE [OPCJE...]\n\nPolecenia:\n");
    QList<AdminCommand> commands = adminCommands();
    std::sort(commands.begin(), commands.end(),
              [](const AdminCommand& a, const AdminCommand& b) { return qstrcmp(a.name, b.name) < 0; });
    for (const AdminCommand& c : commands)
        text += QStringLiteral("  %1  %2\n")
                    .arg(QString::fromUtf8(c.name), -14)
                    .arg(QString::fromUtf8(c.summary));
    text += QStringLiteral("  %1  %2\n")
                .arg(QStringLiteral("--version"), -14)
                .arg(QStringLiteral("wersja programu"));
    text += QStringLiteral("\n„tabulon-admin POLECENIE --help” opisuje polecenie.\n");
    adminOut(text);
}

} // namespace

int main(int argc, char** argv)
{
    // A command that prints gets the fonts of a GUI application; the tool shows no
    // window, so it runs on the offscreen platform unless the caller chose one.
    bool gui = false;
    for (const AdminCommand& c : adminCommands()) {
        if (argc > 1 && qstrcmp(argv[1], c.name) == 0 && c.needsGui) {
            QStringList rest;
            for (int i = 2; i < argc; ++i)
                rest.append(QString::fromLocal8Bit(argv[i]));
            gui = c.needsGui(rest);
        }
    }
    if (gui && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        gui ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QStringList args = app->arguments().mid(1);
    if (args.isEmpty()) {
        printUsage();
        return 2;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        printUsage();
        return 0;
    }
    if (name == QLatin1String("--version")) {
        adminOut(QStringLiteral("tabulon-admin %1\n").arg(QString::fromLatin1(kProductVersion)));
        return 0;
    }
    for (const AdminCommand& c : adminCommands()) {
        if (name == QLatin1String(c.name))
            return c.run(args);
    }
    adminError(
        QStringLiteral("nieznane polecenie „%1”; „tabulon-admin --help” wymienia polecenia").arg(name));
    return 2;
}
