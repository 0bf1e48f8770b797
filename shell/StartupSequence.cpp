#include "shell/StartupSequence.h"

#include "delivery/DataUpdate.h"
#include "document/ValueCipher.h"
#include "shell/AppFolders.h"
#include "shell/MachineSignature.h"
#include "shell/Messages.h"
#include "shell/SchoolData.h"
#include "shell/TextLines.h"

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
    hooks.loadSchoolData = LoadSchoolData;
    hooks.machineSignature = [] { return BuildMachineSignature(); };
    return hooks;
}

bool StartupSequence::run()
{
    call(m_hooks.clearDragState);
    m_state.AppFolder = m_appFolder;

    if (QFileInfo::exists(m_appFolder + importFileName()) && !importSettingsBesideProgram())
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

bool StartupSequence::importSettingsBesideProgram()
{
    const AppFolders folders = AppFolders::under(m_appDataFolder);
    m_state.SettingsFile = folders.settingsFile;
    CreateAppFolders(folders);

    // A copy that did not happen must not let an older settings file pass for the
    // imported one: the file beside the program would then be deleted unread.
    if (!TextLines::copy(m_appFolder + importFileName(), m_state.SettingsFile)) {
        notice(kNoSettingsReinstall);
        return end();
    }
    if (!checkAndReadSettings())
        return false;

    const int fetched = m_hooks.initialDataFetch ? m_hooks.initialDataFetch() : 3;
    if (fetched != 1)
        return end();
    // Imported once: the next start reads the copy in the data folder.
    QFile::remove(m_appFolder + importFileName());
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
