#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the next modal window from inside its own modal loop. Create it before the
// call that shows the window; once a modal window is on screen the action runs with
// that window (typically sending keys or clicks to it). The action must close the
// window; if it does not, the window is closed for it and leftOpen() tells so, so a
// broken test fails instead of hanging.
//
//     ModalAnswer answer([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
//     ShowMessage(KindQuestion, IconQuestion, text);
//     QVERIFY(answer.ran());
class ModalAnswer
{
public:
    using Action = std::function<void(QWidget* modal)>;

    explicit ModalAnswer(Action action, int timeoutMs = 5000);
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

    bool ran() const { return m_ran; }
    bool leftOpen() const { return m_leftOpen; }
    bool timedOut() const { return m_timedOut; }

private:
    void poll();

    Action m_action;
    QTimer m_timer;
    int m_waitedMs = 0;
    int m_timeoutMs;
    bool m_ran = false;
    bool m_leftOpen = false;
    bool m_timedOut = false;
};
