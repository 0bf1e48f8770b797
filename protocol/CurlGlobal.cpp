#include "protocol/CurlGlobal.h"

#include <curl/curl.h>

#include <mutex>

void EnsureCurlReady()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

QString CaFileOverride()
{
    return qEnvironmentVariable("TABULON_CA_FILE");
}
