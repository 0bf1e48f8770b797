// tabulon-zbiorka: the school's window for collecting the handed-in reports.
#include "zbiorka/ZbiorkaWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv)
{
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
