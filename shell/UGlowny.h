#pragma once

#include <QWidget>

class QCloseEvent;
class QShowEvent;

// The main window: a borderless 900 by 650 window that drives the whole wizard. Its
// first showing starts the program (folders, settings, school data); closing it ends
// the program.
class TFGlowny : public QWidget
{
    Q_OBJECT

public:
    explicit TFGlowny(QWidget* parent = nullptr);

    static constexpr int kWidth = 900;
    static constexpr int kHeight = 650;

    // True once the start-up has brought the program up; false before it and after a
    // start-up that ended the program.
    bool isStarted() const { return m_started; }

    // Back to the welcome step with its hints.
    void ResetWizard();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void applyWindowShape();

    bool m_shown = false; // the start-up runs on the first showing only
    bool m_started = false;
    bool m_dragging = false;
};
