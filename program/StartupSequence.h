#pragma once

#include "core/AppFolders.h"
#include "core/AppState.h"
#include "core/SettingsReader.h"

#include <QString>

#include <functional>

// What the start-up asks of the rest of the program. The main window wires the real
// ones; tests script them. Hooks left empty are skipped, except that a missing
// school-data loader or first data fetch counts as a failure.
struct StartupHooks
{
    std::function<void()> clearDragState;
    ValueDecoder decodeValue;
    std::function<int()> initialDataFetch; // 1 success, 3 failure; tells the user itself
    std::function<void()> shapeWindow;
    std::function<bool()> loadSchoolData; // tells the user itself on failure
    std::function<void()> fillLists;
    std::function<QString()> machineSignature;
    std::function<void()> resetWizard;
    std::function<void()> hideHint;
    // Asks the event loop to quit after the current event.
    std::function<void()> endProgram;
};

// Everything the program does on the main window's first showing: folders, the
// import of a settings file placed by the administrator (SettingsImportFile.h),
// reading the settings,
// emptying the working folder, the school data and the wizard's first state. Every
// failure shows one message and ends the program; after that nothing more is shown.
class StartupSequence
{
public:
    StartupSequence(AppState& state, StartupHooks hooks, QString appFolder, QString appDataFolder);

    // True when the program is up; false when it has been told to end.
    bool run();

    // The collaborators that the program itself provides outside the windows; the
    // main window adds its own.
    static StartupHooks programHooks();

private:
    // Checks the file, fetches the data with its settings and only then lets it
    // replace the user's settings. False when the program has been told to end.
    bool importSettings(const QString& importFile);
    bool checkAndReadSettings();
    bool end();
    static void call(const std::function<void()>& hook);

    AppState& m_state;
    StartupHooks m_hooks;
    QString m_appFolder;
    QString m_appDataFolder;
};
