#include "protocol/CurlGlobal.h"

#include <curl/curl.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <mutex>

void EnsureCurlReady()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

QString CaFileOverride()
{
    const QString fromEnvironment = qEnvironmentVariable("TABULON_CA_FILE");
    if (!fromEnvironment.isEmpty() || !QCoreApplication::instance())
        return fromEnvironment;
    const QString besideProgram = QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(kSchoolCaFileName));
    return QFileInfo(besideProgram).isFile() ? besideProgram : QString();
}
