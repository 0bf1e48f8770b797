#pragma once

#include "core/Progress.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;

// The small window that shows long work (a download, a copy, a mail being sent):
// its title, the item under way, the bytes so far, and "Anuluj". The work runs on
// the interface thread and reports often; the window keeps the interface alive
// between reports and appears only when the work lasts longer than a moment, so a
// quick copy does not flash. While it is shown it is application-modal: nothing
// else can be clicked, and the main window cannot be closed under the work.
class ProgressWindow final : public QDialog, public ProgressPresenter
{
    Q_OBJECT

public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    void begin(const QString& title) override;
    bool report(const QString& item, qint64 done, qint64 total) override;
    void end() override;

    // How long work may run before the window appears (tests set 0).
    void setShowDelay(int milliseconds) { m_showDelay = milliseconds; }
    bool cancelRequested() const { return m_cancelled; }

    // "1,5 MB z 3,2 MB", "12 kB": sizes as the window shows them.
    static QString sizeText(qint64 done, qint64 total);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void cancel();
    void pump();

    QLabel* m_title = nullptr;
    QLabel* m_item = nullptr;
    QLabel* m_bytes = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    QElapsedTimer m_started;
    QElapsedTimer m_lastPump;
    int m_showDelay = 400;
    int m_depth = 0;
    bool m_cancelled = false;
};
