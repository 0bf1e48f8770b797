#include "core/PlatformMail.h"

#include "protocol/HeaderEncoding.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace Platform {

namespace {

// xdg-email returns once the mail program has the message; some mail programs keep
// it waiting until they are closed. After this long the hand-over counts as done
// and the mail program is left running.
constexpr int kHandOverWaitMs = 20000;

// Mail programs here expect LF line ends; each CR LF, LF or CR of the greeting is one.
QString withLfLineEnds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

bool SendWithMailProgram(const QString& recipients, const QString& subject, const QString& body,
                         const QString& attachmentPath)
{
    QStringList addresses;
    if (!HeaderEncoding::splitAddressList(recipients, &addresses))
        return false;
    QStringList arguments{QStringLiteral("--utf8"),
                          QStringLiteral("--subject"),
                          HeaderEncoding::withoutLineBreaks(subject),
                          QStringLiteral("--body"),
                          withLfLineEnds(body),
                          QStringLiteral("--attach"),
                          QFileInfo(attachmentPath).absoluteFilePath()};
    for (const QString& address : addresses) {
        // An address must never be read as one of xdg-email's options.
        if (address.startsWith(QLatin1Char('-')))
            return false;
        arguments << address;
    }

    auto* process = new QProcess(QCoreApplication::instance());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start(QStringLiteral("xdg-email"), arguments);
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    if (!process->waitForFinished(kHandOverWaitMs)) {
        // The mail program is open with the message; let it run and tidy up after it.
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const bool ok = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return ok;
}

} // namespace Platform
