// libcurl, loaded the first time a mail is sent or data are fetched instead of when
// the program starts. Linked at start, libcurl brings some thirty libraries (TLS,
// Kerberos, LDAP, SSH, ...) into the process, and with them every library of the
// toolkit, which binds all its symbols at load, searches a longer list for each one:
// the program took twice as long to reach its main window. Most runs never mail.
//
// The functions below stand in for the few of libcurl that the clients of this folder
// call, under libcurl's own names, so the clients are written against <curl/curl.h>
// as usual. They are hidden from other libraries, so libcurl, once loaded (privately),
// still calls its own. When libcurl cannot be loaded, every operation fails the way
// libcurl reports a failed initialisation, and the clients tell the user.
#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>

#include <cstdarg>
#include <mutex>

#include <dlfcn.h>

#define TABULON_HIDDEN __attribute__((visibility("hidden")))

namespace {

struct CurlFunctions
{
    CURLcode (*globalInit)(long) = nullptr;
    CURL* (*easyInit)() = nullptr;
    CURLcode (*easySetopt)(CURL*, CURLoption, ...) = nullptr;
    CURLcode (*easyPerform)(CURL*) = nullptr;
    void (*easyCleanup)(CURL*) = nullptr;
    CURLcode (*easyGetinfo)(CURL*, CURLINFO, ...) = nullptr;
    const char* (*easyStrerror)(CURLcode) = nullptr;
    curl_slist* (*slistAppend)(curl_slist*, const char*) = nullptr;
    void (*slistFreeAll)(curl_slist*) = nullptr;
    curl_version_info_data* (*versionInfo)(CURLversion) = nullptr;

    bool complete() const
    {
        return globalInit && easyInit && easySetopt && easyPerform && easyCleanup && easyGetinfo &&
               easyStrerror && slistAppend && slistFreeAll && versionInfo;
    }
};

template <typename Function> void resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
}

// Null members when libcurl is missing or lacks one of them.
const CurlFunctions& curlFunctions()
{
    static CurlFunctions functions;
    static std::once_flag once;
    std::call_once(once, [] {
        void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return;
        CurlFunctions found;
        resolve(library, "curl_global_init", found.globalInit);
        resolve(library, "curl_easy_init", found.easyInit);
        resolve(library, "curl_easy_setopt", found.easySetopt);
        resolve(library, "curl_easy_perform", found.easyPerform);
        resolve(library, "curl_easy_cleanup", found.easyCleanup);
        resolve(library, "curl_easy_getinfo", found.easyGetinfo);
        resolve(library, "curl_easy_strerror", found.easyStrerror);
        resolve(library, "curl_slist_append", found.slistAppend);
        resolve(library, "curl_slist_free_all", found.slistFreeAll);
        resolve(library, "curl_version_info", found.versionInfo);
        // A library stays loaded for the rest of the run: handles made by it may live
        // until the program ends.
        if (found.complete())
            functions = found;
    });
    return functions;
}

} // namespace

extern "C" {

TABULON_HIDDEN CURLcode curl_global_init(long flags)
{
    const CurlFunctions& f = curlFunctions();
    return f.globalInit ? f.globalInit(flags) : CURLE_FAILED_INIT;
}

TABULON_HIDDEN CURL* curl_easy_init()
{
    const CurlFunctions& f = curlFunctions();
    return f.easyInit ? f.easyInit() : nullptr;
}

// The value's type follows from the option's number, as libcurl itself reads it:
// a long, a pointer (data or function) or a curl_off_t.
TABULON_HIDDEN CURLcode(curl_easy_setopt)(CURL* curl, CURLoption option, ...)
{
    const CurlFunctions& f = curlFunctions();
    if (!f.easySetopt)
        return CURLE_FAILED_INIT;
    va_list values;
    va_start(values, option);
    CURLcode result;
    if (option < CURLOPTTYPE_OBJECTPOINT)
        result = f.easySetopt(curl, option, va_arg(values, long));
    else if (option < CURLOPTTYPE_OFF_T)
        result = f.easySetopt(curl, option, va_arg(values, void*));
    else if (option < CURLOPTTYPE_BLOB)
        result = f.easySetopt(curl, option, va_arg(values, curl_off_t));
    else
        result = f.easySetopt(curl, option, va_arg(values, void*));
    va_end(values);
    return result;
}

TABULON_HIDDEN CURLcode curl_easy_perform(CURL* curl)
{
    const CurlFunctions& f = curlFunctions();
    return f.easyPerform ? f.easyPerform(curl) : CURLE_FAILED_INIT;
}

TABULON_HIDDEN void curl_easy_cleanup(CURL* curl)
{
    const CurlFunctions& f = curlFunctions();
    if (f.easyCleanup)
        f.easyCleanup(curl);
}

// Every value of curl_easy_getinfo is returned through a pointer.
TABULON_HIDDEN CURLcode(curl_easy_getinfo)(CURL* curl, CURLINFO info, ...)
{
    const CurlFunctions& f = curlFunctions();
    if (!f.easyGetinfo)
        return CURLE_FAILED_INIT;
    va_list values;
    va_start(values, info);
    const CURLcode result = f.easyGetinfo(curl, info, va_arg(values, void*));
    va_end(values);
    return result;
}

TABULON_HIDDEN const char* curl_easy_strerror(CURLcode code)
{
    const CurlFunctions& f = curlFunctions();
    return f.easyStrerror ? f.easyStrerror(code) : "libcurl (libcurl.so.4) is not installed";
}

TABULON_HIDDEN curl_slist* curl_slist_append(curl_slist* list, const char* text)
{
    const CurlFunctions& f = curlFunctions();
    return f.slistAppend ? f.slistAppend(list, text) : nullptr;
}

TABULON_HIDDEN void curl_slist_free_all(curl_slist* list)
{
    const CurlFunctions& f = curlFunctions();
    if (f.slistFreeAll)
        f.slistFreeAll(list);
}

// Null when libcurl is missing; callers then fail at curl_easy_init anyway.
TABULON_HIDDEN curl_version_info_data* curl_version_info(CURLversion age)
{
    const CurlFunctions& f = curlFunctions();
    return f.versionInfo ? f.versionInfo(age) : nullptr;
}

} // extern "C"
