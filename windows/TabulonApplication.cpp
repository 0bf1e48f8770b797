#include "windows/TabulonApplication.h"

#include "core/Messages.h"

#include <exception>

namespace {

const char* const kUnknownError = "Wystąpił nieoczekiwany błąd programu.";

void reportUncaught(const QString& reason)
{
    ShowMessage(KindNotice, IconWarning, reason.isEmpty() ? QString::fromUtf8(kUnknownError) : reason);
}

} // namespace

TabulonApplication::TabulonApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TabulonApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        reportUncaught(QString::fromUtf8(error.what()));
    } catch (...) {
        reportUncaught(QString());
    }
    return false;
}
