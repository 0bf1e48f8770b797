#include "support/RunningProgram.h"

#include "core/AppState.h"
#include "core/KlasaFull.h"
#include "windows/ProgramWindows.h"
#include "windows/UGlowny.h"

#include <QTest>

RunningProgram::RunningProgram(std::function<bool()> loadSchool) : m_loadSchool(std::move(loadSchool))
{
    m_installation.writeHomeSettings();
    start();
}

void RunningProgram::start()
{
    // In the program's order: the main window, its start-up, then the other windows.
    m_windows = std::make_unique<ProgramWindows>(ProgramWindows::Creation::MainWindowFirst);
    m_main = m_windows->mainWindow();
    m_main->SetSchoolDataLoader(m_loadSchool);
    m_main->show();
    m_windows->createLaterWindows();
}

void RunningProgram::restart()
{
    m_windows.reset();
    m_main = nullptr;
    appState() = AppState{};
    klasaFull() = _KlasaFull{};
    start();
}

RunningProgram::~RunningProgram() = default;

bool RunningProgram::isStarted() const
{
    return m_main->isStarted();
}

void RunningProgram::click(const char* name) const
{
    QWidget* control = m_main->findChild<QWidget*>(QString::fromLatin1(name));
    if (!control) {
        qWarning("no control %s", name);
        return;
    }
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, 5));
}

const QList<QWidget*>& RunningProgram::windows() const
{
    return m_windows->all();
}
