// tabulon-zbiorka: the school's window for collecting the handed-in reports.
#include "core/CommandLine.h"
#include "windows/zbiorka/ZbiorkaWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // These answer without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tabulon-zbiorka %s\n", kProductVersion);
        return 0;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs("Użycie: tabulon-zbiorka [--help | --version]\n\n"
                   "Zbiórka sprawozdań: okno, w którym szkoła zbiera sprawozdania oddane przez\n"
                   "nauczycieli (z folderu sieciowego, plików poczty i skrzynki szkoły na serwerze\n"
                   "IMAP) i sporządza zestawienie na radę pedagogiczną. Bez terminala robi to samo\n"
                   "co „tabulon-admin collect”.\n",
                   stdout);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zbiórka sprawozdań"));
    QApplication::setDesktopFileName(QStringLiteral("pl.orvix.Tabulon.Zbiorka"));
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    // Qt's own dialogs (files, printing) in Polish.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Polish, QLocale::Poland), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    ZbiorkaWindow window;
    window.show();
    return app.exec();
}
