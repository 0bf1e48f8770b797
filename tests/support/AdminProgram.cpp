#include "support/AdminProgram.h"

#include "support/TestPaths.h"

#include <QProcess>

AdminRun RunAdmin(const QStringList& args, const QByteArray& input)
{
    QProcess process;
    process.start(TestPaths::binaryDir() + QStringLiteral("/bin/tabulon-admin"), args);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}
