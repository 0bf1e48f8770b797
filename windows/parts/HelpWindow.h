#pragma once

#include <QWidget>

class QTextBrowser;

// The help page in a window of the program's own, for a computer where no program
// opens web pages. The page is plain HTML beside the program; links between its pages
// are followed inside the window, links to the internet are not.
class HelpWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Loads the page at `path`; false when it is missing, not a file or too large.
    bool Open(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextBrowser* m_page;
};
