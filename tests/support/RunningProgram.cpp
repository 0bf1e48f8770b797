#include "support/RunningProgram.h"

#include "shell/ProgramWindows.h"
#include "shell/UGlowny.h"

#include <QTest>

RunningProgram::RunningProgram(std::function<bool()> loadSchool)
{
    m_installation.writeHomeSettings();
    m_windows = std::make_unique<ProgramWindows>();
    m_main = m_windows->mainWindow();
    m_main->SetSchoolDataLoader(std::move(loadSchool));
    m_main->show();
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
