#include "program/StartupSequence.h"

#include "core/AppFolders.h"
#include "core/MachineSignature.h"
#include "core/Messages.h"
#include "core/SchoolData.h"
#include "core/SettingsImportFile.h"
#include "core/TextLines.h"
#include "encoding/ValueCipher.h"
#include "update/DataSetInstall.h"
#include "update/DataUpdate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

const QString kNoSettingsShare = QStringLiteral(
    "Brak danych koniecznych do poprawnej pracy.\rProgram nie może działać.\rUdostępnij konieczne dane.");
const QString kNoSettingsReinstall = QStringLiteral(
    "Brak danych koniecznych do poprawnej pracy.\rProgram nie może działać.\rZainstaluj program ponownie.");
const QString kSettingsDamaged = QStringLiteral(
    "Dane zawarte w pliku startowym są uszkodzone.Program nie może działać.\rZainstaluj program ponownie.");

QString importDamaged(const QString& importFile, bool earlierSettingsWork)
{
    const QString file = QDir::toNativeSeparators(importFile);
    return earlierSettingsWork
               ? QStringLiteral("Plik ustawień „%1” jest uszkodzony i nie został wczytany.\rProgram "
                                "działa z dotychczasowymi ustawieniami.\rZgłoś problem administratorowi.")
                     .arg(file)
               : QStringLiteral("Plik ustawień „%1” jest uszkodzony.\rProgram nie może działać.\rZgłoś "
                                "problem administratorowi.")
                     .arg(file);
}

void notice(const QString& text)
{
    ShowMessage(KindNotice, IconInformation, text);
}

} // namespace

StartupSequence::StartupSequence(AppState& state, StartupHooks hooks, QString appFolder,
                                 QString appDataFolder)
    : m_state(state), m_hooks(std::move(hooks)), m_appFolder(std::move(appFolder)),
      m_appDataFolder(std::move(appDataFolder))
{
}

StartupHooks StartupSequence::programHooks()
{
    StartupHooks hooks;
    hooks.decodeValue = DecodeValue;
    hooks.initialDataFetch = InitialDataFetch;
    hooks.loadSchoolData = LoadSchoolDataOrBackup;
    hooks.machineSignature = [] { return BuildMachineSignature(); };
    return hooks;
}

bool StartupSequence::run()
{
    call(m_hooks.clearDragState);
    m_state.AppFolder = m_appFolder;

    const QString importFile = SettingsImportFile(m_appFolder);
    if (!importFile.isEmpty() && SettingsImportIsDue(importFile, AppFolders::under(m_appDataFolder)) &&
        !importSettings(importFile))
        return false;

    m_state.SettingsFile = AppFolders::under(m_appDataFolder).settingsFile;
    if (!QFileInfo::exists(m_state.SettingsFile)) {
        notice(kNoSettingsShare);
        return end();
    }
    if (!checkAndReadSettings())
        return false;

    CreateFolderLevel(m_state.TempFolder);
    EmptyFolder(m_state.TempFolder);

    m_state.TeacherNames.clear();
    m_state.PreviewPage.clear();
    m_state.SubjectNames.clear();
    call(m_hooks.shapeWindow);

    if (!m_hooks.loadSchoolData || !m_hooks.loadSchoolData())
        return end();
    call(m_hooks.fillLists);

    if (m_hooks.machineSignature)
        m_state.MachineSignature = m_hooks.machineSignature();
    call(m_hooks.resetWizard);
    m_state.SelectedPupils.clear();
    call(m_hooks.hideHint);
    return true;
}

bool StartupSequence::importSettings(const QString& importFile)
{
    const AppFolders folders = AppFolders::under(m_appDataFolder);
    CreateAppFolders(folders);

    // The file is read where it lies: a damaged one replaces nothing, and the
    // settings in use stay until the data of the new ones have arrived.
    m_state.SettingsFile = importFile;
    if (!SettingsImportIsPlainFile(importFile) ||
        !ReadSettings(m_state, m_appDataFolder, m_hooks.decodeValue)) {
        m_state.Settings = Settings{};
        const bool earlierSettingsWork = SettingsFileIsSound(folders.settingsFile, m_hooks.decodeValue);
        notice(importDamaged(importFile, earlierSettingsWork));
        return earlierSettingsWork || end();
    }
    NormaliseSettings(m_state.Settings);

    // A failed fetch has told the user and changed no data; the import is tried
    // again at the next start. Until then the program works on the settings and
    // data it had, when it had any.
    const int fetched = m_hooks.initialDataFetch ? m_hooks.initialDataFetch() : 3;
    if (fetched != 1) {
        m_state.Settings = Settings{};
        return SettingsFileIsSound(folders.settingsFile, m_hooks.decodeValue) || end();
    }
    // The settings hold the mail password: only their owner may read them.
    if (const FileResult copied = TextLines::copy(importFile, folders.settingsFile,
                                                  TextLines::kDefaultMaxBytes, SafeFile::Access::Private);
        !copied) {
        // The file in use, if any, is as it was; the import is tried again next time.
        const bool earlierSettingsWork = SettingsFileIsSound(folders.settingsFile, m_hooks.decodeValue);
        notice(QStringLiteral("Nie udało się zapisać ustawień: %1.\r").arg(FileFailureText(copied)) +
               (earlierSettingsWork ? QStringLiteral("Program działa z dotychczasowymi ustawieniami.")
                                    : QStringLiteral("Program nie może działać.")));
        if (!earlierSettingsWork)
            return end();
        m_state.Settings = Settings{};
        return true;
    }
    if (const FileResult remembered = RememberSettingsImport(importFile, folders);
        remembered.failure == FileFailure::NoSpace)
        notice(QStringLiteral("Nie udało się zapamiętać wczytanego pliku ustawień: %1.\rPrzy następnym "
                              "uruchomieniu zostanie wczytany ponownie.")
                   .arg(FileFailureText(remembered)));
    // Beside the program the file is imported once; a system-wide one stays, and
    // its fingerprint keeps it from being imported again until it changes.
    if (IsBesideProgram(importFile, m_appFolder))
        QFile::remove(importFile);
    return true;
}

bool StartupSequence::checkAndReadSettings()
{
    if (!QFileInfo::exists(m_state.SettingsFile)) {
        notice(kNoSettingsReinstall);
        return end();
    }
    if (!ReadSettings(m_state, m_appDataFolder, m_hooks.decodeValue)) {
        notice(kSettingsDamaged);
        return end();
    }
    NormaliseSettings(m_state.Settings);
    return true;
}

bool StartupSequence::end()
{
    call(m_hooks.endProgram);
    return false;
}

void StartupSequence::call(const std::function<void()>& hook)
{
    if (hook)
        hook();
}
