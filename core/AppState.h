#pragma once

#include <QString>
#include <QStringList>

// The nine lines of the settings file, decoded. Line 0 is the marker "Tabulon".
struct Settings
{
    QString WorkMode;      // "lokalny" (home) or "sieciowy" (school network)
    QString NetworkFolder; // where reports are copied in school-network mode
    QString UpdateSource;  // base URL (home) or folder (school network) of the data files
    QString SmtpPort;      // decimal text
    QString SmtpHost;
    QString SenderAddress; // also the SMTP user name
    QString SmtpPassword;
    QString SchoolAddress; // receives the reports; may list several addresses
    // Optional tenth line: the school lets the SMTP password cross a connection
    // without encryption. Absent or any other text: never.
    bool AllowPlainLogin = false;
};

// The tenth line's text that allows a login without encryption.
inline const QString kAllowPlainLogin = QStringLiteral("logowanie-bez-szyfrowania");

inline const QString kWorkModeHome = QStringLiteral("lokalny");
inline const QString kWorkModeNetwork = QStringLiteral("sieciowy");

// The single state shared by all windows for the whole run. Folders end with the
// platform's separator.
struct AppState
{
    QString AppFolder;
    QString SettingsFile;
    QString DataFolder;
    QString TempFolder;
    ::Settings Settings;
    QString MachineSignature;

    QStringList TeacherNames;
    QStringList SubjectNames;
    QStringList PreviewPage;
    QStringList SelectedPupils;

    QString TeacherName;
    int TopicIndex = 0;
    QString DocumentPath;
    QString DocumentFileName;
    bool SendExisting = false;
    bool NavigatingBack = false;
    int WizardStep = 0;
    // The report last written by an editor has reached the school by one of the ways.
    bool ReportDelivered = false;
    // The preview page of that report, kept in the archive with it once delivered.
    QString ReportPagePath;

    int HintGroup = 0;
    int HintCount = 0;
    int HintIndex = 0;

    int CurrentClassIndex = 0;
    int CurrentPupilIndex = 0;

    int DialogResult = 0;
    QString ChosenConductGrade;
};

// The one instance, living for the whole run. Tests reset it with
// `appState() = AppState{}`.
AppState& appState();
