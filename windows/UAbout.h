#pragma once

#include <QDialog>

class QLabel;

// The about window: a borderless picture with a close mark, shown modally over the
// main window.
class TFAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TFAbout(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_imAbout;
    QLabel* m_lClose;
};
