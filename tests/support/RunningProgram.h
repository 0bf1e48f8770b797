#pragma once

#include "support/TestInstallation.h"

#include <QWidget>

#include <functional>
#include <memory>

class ProgramWindows;
class TFGlowny;

// The program's own windows, as build/bin/tabulon creates them, on a private
// installation with a home-mode settings file; the school comes from `loadSchool`
// instead of the data files. The main window is shown, so the start-up has run.
class RunningProgram
{
public:
    explicit RunningProgram(std::function<bool()> loadSchool);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool isStarted() const;
    TFGlowny* main() const { return m_main; }
    const TestInstallation& installation() const { return m_installation; }

    // The program's window of type T.
    template <typename T> T* window() const
    {
        for (QWidget* w : windows()) {
            if (auto* found = qobject_cast<T*>(w))
                return found;
        }
        return nullptr;
    }

    // The program ends as a killed process would (its windows go without closing,
    // its memory with them) and starts again on the same installation.
    void restart();

    // A left click near the top left corner of the main window's control `name`.
    void click(const char* name) const;

private:
    const QList<QWidget*>& windows() const;

    void start();

    TestInstallation m_installation;
    std::function<bool()> m_loadSchool;
    std::unique_ptr<ProgramWindows> m_windows;
    TFGlowny* m_main = nullptr;
};
