#include "support/TestInstallation.h"

#include "core/AppState.h"
#include "encoding/ValueCipher.h"

#include <QDir>
#include <QFile>

TestInstallation::TestInstallation()
{
    QDir().mkpath(dataHome());
    QDir().mkpath(programFolder());
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome()));
    qputenv("TABULON_APP_FOLDER", QFile::encodeName(programFolder()));
    appState() = AppState{};
}

TestInstallation::~TestInstallation()
{
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("TABULON_APP_FOLDER");
}

bool TestInstallation::writeSettings(const QStringList& values) const
{
    return QDir().mkpath(programData()) &&
           writeEncodedLines(programData() + QStringLiteral("/Tabulon.ini"), values);
}

bool TestInstallation::writeHomeSettings() const
{
    return writeSettings({QStringLiteral("Tabulon"), QStringLiteral("lokalny"), QString(),
                          QStringLiteral("http://127.0.0.1:9"), QStringLiteral("25"),
                          QStringLiteral("127.0.0.1"), QStringLiteral("nauczyciel@x"), QStringLiteral("haslo"),
                          QStringLiteral("sekretariat@x")});
}

bool TestInstallation::writeEncodedLines(const QString& path, const QStringList& lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString& line : lines) {
        if (file.write(EncodeValue(line).toLatin1() + "\r\n") < 0)
            return false;
    }
    return true;
}
