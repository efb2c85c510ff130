// libcurl opened when a tile is first fetched, not when the program starts
// (see platform/lazy_library.h): it and the two dozen libraries it pulls in
// (TLS, Kerberos, LDAP, ...) cost every start several milliseconds, and most
// runs of the programs that carry the map code never go online. Without
// libcurl every call fails as libcurl reports a failed set-up.

#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>

#include <cstdarg>

#include "platform/lazy_library.h"

namespace {

TRAKOMER_LAZY_LIBRARY(Curl, "libcurl.so.4")

using AnyFunction = void (*)();

// Passes on the one value that follows an option, read as the type the
// option's number range says it has (libcurl reads it the same way).
template <typename Result, typename Handle, typename Option>
Result ForwardOption(Result (*real)(Handle*, Option, ...), Handle* handle, Option option,
                     va_list values) {
    switch (static_cast<int>(option) / 10000 * 10000) {
        case CURLOPTTYPE_LONG: return real(handle, option, va_arg(values, long));
        case CURLOPTTYPE_FUNCTIONPOINT: return real(handle, option, va_arg(values, AnyFunction));
        case CURLOPTTYPE_OFF_T: return real(handle, option, va_arg(values, curl_off_t));
        default: return real(handle, option, va_arg(values, void*));
    }
}

}  // namespace

extern "C" {

CURLcode curl_easy_setopt(CURL* handle, CURLoption option, ...) {
    static const auto real =
        trakomer::LibraryFunction<decltype(&curl_easy_setopt)>(Curl(), "curl_easy_setopt");
    if (real == nullptr) return CURLE_FAILED_INIT;
    va_list values;
    va_start(values, option);
    const CURLcode result = ForwardOption(real, handle, option, values);
    va_end(values);
    return result;
}

CURLMcode curl_multi_setopt(CURLM* multi, CURLMoption option, ...) {
    static const auto real =
        trakomer::LibraryFunction<decltype(&curl_multi_setopt)>(Curl(), "curl_multi_setopt");
    if (real == nullptr) return CURLM_INTERNAL_ERROR;
    va_list values;
    va_start(values, option);
    const CURLMcode result = ForwardOption(real, multi, option, values);
    va_end(values);
    return result;
}

CURLcode curl_easy_getinfo(CURL* handle, CURLINFO info, ...) {
    static const auto real =
        trakomer::LibraryFunction<decltype(&curl_easy_getinfo)>(Curl(), "curl_easy_getinfo");
    if (real == nullptr) return CURLE_FAILED_INIT;
    va_list values;
    va_start(values, info);
    void* where = va_arg(values, void*);  // every kind of information is written through a pointer
    va_end(values);
    return real(handle, info, where);
}

TRAKOMER_LAZY_FUNCTION(Curl(), CURL*, curl_easy_init, (), (), nullptr)
TRAKOMER_LAZY_FUNCTION(Curl(), void, curl_easy_cleanup, (CURL* handle), (handle), void())
TRAKOMER_LAZY_FUNCTION(Curl(), const char*, curl_easy_strerror, (CURLcode code), (code),
                       "libcurl is not installed")
TRAKOMER_LAZY_FUNCTION(Curl(), curl_slist*, curl_slist_append,
                       (curl_slist * list, const char* text), (list, text), nullptr)
TRAKOMER_LAZY_FUNCTION(Curl(), void, curl_slist_free_all, (curl_slist * list), (list), void())
TRAKOMER_LAZY_FUNCTION(Curl(), time_t, curl_getdate, (const char* text, const time_t* unused),
                       (text, unused), -1)
TRAKOMER_LAZY_FUNCTION(Curl(), CURLM*, curl_multi_init, (), (), nullptr)
TRAKOMER_LAZY_FUNCTION(Curl(), CURLMcode, curl_multi_add_handle, (CURLM * multi, CURL* handle),
                       (multi, handle), CURLM_INTERNAL_ERROR)
TRAKOMER_LAZY_FUNCTION(Curl(), CURLMcode, curl_multi_remove_handle,
                       (CURLM * multi, CURL* handle), (multi, handle), CURLM_INTERNAL_ERROR)
TRAKOMER_LAZY_FUNCTION(Curl(), CURLMcode, curl_multi_perform, (CURLM * multi, int* running),
                       (multi, running), CURLM_INTERNAL_ERROR)
TRAKOMER_LAZY_FUNCTION(Curl(), CURLMsg*, curl_multi_info_read, (CURLM * multi, int* left),
                       (multi, left), nullptr)
TRAKOMER_LAZY_FUNCTION(Curl(), CURLMcode, curl_multi_poll,
                       (CURLM * multi, curl_waitfd* extra, unsigned int count, int timeoutMs,
                        int* ready),
                       (multi, extra, count, timeoutMs, ready), CURLM_INTERNAL_ERROR)
TRAKOMER_LAZY_FUNCTION(Curl(), CURLMcode, curl_multi_cleanup, (CURLM * multi), (multi),
                       CURLM_INTERNAL_ERROR)

}  // extern "C"
