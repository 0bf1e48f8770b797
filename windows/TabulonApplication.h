#pragma once

#include <QApplication>

// The program's application object. Its notify() is the general error box: an error
// that no operation caught on its way out of an event handler is shown with its own
// text in the message dialog, and the program goes on with the next event.
class TabulonApplication final : public QApplication
{
public:
    TabulonApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
