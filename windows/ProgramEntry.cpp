#include "windows/ProgramEntry.h"

#include "core/CommandLine.h"
#include "core/InstalledLayout.h"
#include "windows/ProgramWindows.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallPolishToolkitTexts(QApplication& app)
{
    // The toolkit's own texts (file dialog buttons and columns, print preview) in
    // Polish, like everything else in the program, whatever the user's locale. They
    // come from the system's Qt translations, or from a "translations" folder among
    // the program's shared files where no such system store exists.
    auto* translator = new QTranslator(&app);
    const QLocale polish(QLocale::Polish, QLocale::Poland);
    for (const QString& folder :
         {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
          SharedFilesFolder(RunningProgramFolder()) + QStringLiteral("translations")}) {
        if (translator->load(polish, QStringLiteral("qtbase"), QStringLiteral("_"), folder))
            return QCoreApplication::installTranslator(translator);
    }
    delete translator;
    return false;
}

int RunProgram(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Tabulon"));
    QApplication::setApplicationVersion(QString::fromLatin1(kProductVersion));
    QApplication::setApplicationDisplayName(QStringLiteral("Tabulon ") +
                                            QString::fromLatin1(kProductVersion));
    InstallPolishToolkitTexts(app);

    ProgramWindows windows(ProgramWindows::Creation::MainWindowFirst);
    windows.start();
    return app.exec();
}
