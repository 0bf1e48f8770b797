#include "support/TestPaths.h"

#include <QDir>
#include <QtGlobal>

namespace TestPaths {

QString sourceDir()
{
    return qEnvironmentVariable("TABULON_SOURCE_DIR", QStringLiteral(TABULON_SOURCE_DIR_DEFAULT));
}

QString binaryDir()
{
    return qEnvironmentVariable("TABULON_BINARY_DIR", QStringLiteral(TABULON_BINARY_DIR_DEFAULT));
}

QString testData(const QString& relative)
{
    return QDir(sourceDir()).filePath(QStringLiteral("tests/") + relative);
}

} // namespace TestPaths
