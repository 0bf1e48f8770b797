#include "shell/ProgramEntry.h"

#include "shell/ProgramWindows.h"

#include <QApplication>

int RunProgram(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Tabulon"));
    QApplication::setApplicationVersion(QStringLiteral("2.5"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tabulon 2.5"));

    ProgramWindows windows;
    windows.start();
    return app.exec();
}
