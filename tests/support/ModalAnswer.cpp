#include "support/ModalAnswer.h"

#include <QApplication>
#include <QDialog>

namespace {
const int kPollMs = 5;
}

ModalAnswer::ModalAnswer(Action action, int timeoutMs) : m_action(std::move(action)), m_timeoutMs(timeoutMs)
{
    m_timer.setInterval(kPollMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start();
}

void ModalAnswer::poll()
{
    QPointer<QWidget> modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) {
        m_waitedMs += kPollMs;
        if (m_waitedMs >= m_timeoutMs) {
            m_timer.stop();
            m_timedOut = true;
        }
        return;
    }
    m_timer.stop();
    m_ran = true;
    m_action(modal);
    if (modal && modal->isVisible()) {
        m_leftOpen = true;
        if (auto* dialog = qobject_cast<QDialog*>(modal.data()))
            dialog->reject();
        else
            modal->close();
    }
}
