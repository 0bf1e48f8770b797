#include "shell/ProgramEntry.h"

#include "shell/ProgramWindows.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallPolishToolkitTexts(QApplication& app)
{
    // The toolkit's own texts (file dialog buttons and columns, print preview) in
    // Polish, like everything else in the program, whatever the user's locale. They
    // come from the system's Qt translations, or from a "translations" folder beside
    // the program where no such system store exists.
    auto* translator = new QTranslator(&app);
    const QLocale polish(QLocale::Polish, QLocale::Poland);
    for (const QString& folder :
         {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
          QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))}) {
        if (translator->load(polish, QStringLiteral("qtbase"), QStringLiteral("_"), folder))
            return QCoreApplication::installTranslator(translator);
    }
    delete translator;
    return false;
}

int RunProgram(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Tabulon"));
    QApplication::setApplicationVersion(QStringLiteral("2.5"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tabulon 2.5"));
    InstallPolishToolkitTexts(app);

    ProgramWindows windows;
    windows.start();
    return app.exec();
}
