#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private installation of the program for one test, in a temporary folder: the
// user's data folder (XDG_DATA_HOME) is root/dane and the program's folder
// (TABULON_APP_FOLDER) is root/program. AppState starts empty; both variables are
// unset again when the installation goes.
class TestInstallation
{
public:
    TestInstallation();
    ~TestInstallation();
    TestInstallation(const TestInstallation&) = delete;
    TestInstallation& operator=(const TestInstallation&) = delete;

    QString dataHome() const { return root.filePath(QStringLiteral("dane")); }
    // The program's own folder under the data folder, where its settings file lies.
    QString programData() const { return root.filePath(QStringLiteral("dane/Orvix/Tabulon")); }
    QString programFolder() const { return root.filePath(QStringLiteral("program")); }

    // Writes the settings file from its nine values, each encoded on a CR LF line.
    bool writeSettings(const QStringList& values) const;
    // A home-mode settings file whose update source and mail server nobody answers.
    bool writeHomeSettings() const;

    // Writes `lines` to `path`, each encoded and followed by CR LF.
    static bool writeEncodedLines(const QString& path, const QStringList& lines);

    QTemporaryDir root;
};
