// libcurl opened when a tile is first fetched, not when the program starts:
// it and the two dozen libraries it pulls in (TLS, Kerberos, LDAP, ...) cost
// every start several milliseconds, and most runs of the programs that carry
// the map code never go online. The functions below stand in for libcurl's
// own under the same names and pass each call on to the opened library; the
// program is not linked with libcurl, so these are the only definitions it
// sees. Without libcurl every call fails as libcurl reports a failed set-up.

#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>
#include <dlfcn.h>

#include <cstdarg>

namespace {

// The library, opened once; null when it is not installed.
void* Library() {
    static void* const handle = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    return handle;
}

template <typename F>
F Resolve(const char* name) {
    void* library = Library();
    return library != nullptr ? reinterpret_cast<F>(dlsym(library, name)) : nullptr;
}

// libcurl's function `name`, looked up on the first call.
#define TRAKOMER_CURL_FUNCTION(name) \
    static const auto real = Resolve<decltype(&::name)>(#name)

using AnyFunction = void (*)();

// Passes on the one value that follows an option, read as the type the
// option's number range says it has (libcurl reads it the same way).
template <typename Result, typename Handle, typename Option>
Result ForwardOption(Result (*real)(Handle*, Option, ...), Handle* handle, Option option,
                     va_list values) {
    const int type = static_cast<int>(option) / 10000 * 10000;
    switch (type) {
        case CURLOPTTYPE_LONG: return real(handle, option, va_arg(values, long));
        case CURLOPTTYPE_FUNCTIONPOINT: return real(handle, option, va_arg(values, AnyFunction));
        case CURLOPTTYPE_OFF_T: return real(handle, option, va_arg(values, curl_off_t));
        default: return real(handle, option, va_arg(values, void*));
    }
}

}  // namespace

extern "C" {

CURL* curl_easy_init() {
    TRAKOMER_CURL_FUNCTION(curl_easy_init);
    return real != nullptr ? real() : nullptr;
}

CURLcode curl_easy_setopt(CURL* handle, CURLoption option, ...) {
    TRAKOMER_CURL_FUNCTION(curl_easy_setopt);
    if (real == nullptr) return CURLE_FAILED_INIT;
    va_list values;
    va_start(values, option);
    const CURLcode result = ForwardOption(real, handle, option, values);
    va_end(values);
    return result;
}

CURLcode curl_easy_getinfo(CURL* handle, CURLINFO info, ...) {
    TRAKOMER_CURL_FUNCTION(curl_easy_getinfo);
    if (real == nullptr) return CURLE_FAILED_INIT;
    va_list values;
    va_start(values, info);
    void* where = va_arg(values, void*);  // every kind of information is written through a pointer
    va_end(values);
    return real(handle, info, where);
}

void curl_easy_cleanup(CURL* handle) {
    TRAKOMER_CURL_FUNCTION(curl_easy_cleanup);
    if (real != nullptr) real(handle);
}

const char* curl_easy_strerror(CURLcode code) {
    TRAKOMER_CURL_FUNCTION(curl_easy_strerror);
    return real != nullptr ? real(code) : "libcurl is not installed";
}

curl_slist* curl_slist_append(curl_slist* list, const char* text) {
    TRAKOMER_CURL_FUNCTION(curl_slist_append);
    return real != nullptr ? real(list, text) : nullptr;
}

void curl_slist_free_all(curl_slist* list) {
    TRAKOMER_CURL_FUNCTION(curl_slist_free_all);
    if (real != nullptr) real(list);
}

time_t curl_getdate(const char* text, const time_t* unused) {
    TRAKOMER_CURL_FUNCTION(curl_getdate);
    return real != nullptr ? real(text, unused) : -1;
}

CURLM* curl_multi_init() {
    TRAKOMER_CURL_FUNCTION(curl_multi_init);
    return real != nullptr ? real() : nullptr;
}

CURLMcode curl_multi_setopt(CURLM* multi, CURLMoption option, ...) {
    TRAKOMER_CURL_FUNCTION(curl_multi_setopt);
    if (real == nullptr) return CURLM_INTERNAL_ERROR;
    va_list values;
    va_start(values, option);
    const CURLMcode result = ForwardOption(real, multi, option, values);
    va_end(values);
    return result;
}

CURLMcode curl_multi_add_handle(CURLM* multi, CURL* handle) {
    TRAKOMER_CURL_FUNCTION(curl_multi_add_handle);
    return real != nullptr ? real(multi, handle) : CURLM_INTERNAL_ERROR;
}

CURLMcode curl_multi_remove_handle(CURLM* multi, CURL* handle) {
    TRAKOMER_CURL_FUNCTION(curl_multi_remove_handle);
    return real != nullptr ? real(multi, handle) : CURLM_INTERNAL_ERROR;
}

CURLMcode curl_multi_perform(CURLM* multi, int* running) {
    TRAKOMER_CURL_FUNCTION(curl_multi_perform);
    return real != nullptr ? real(multi, running) : CURLM_INTERNAL_ERROR;
}

CURLMsg* curl_multi_info_read(CURLM* multi, int* left) {
    TRAKOMER_CURL_FUNCTION(curl_multi_info_read);
    return real != nullptr ? real(multi, left) : nullptr;
}

CURLMcode curl_multi_poll(CURLM* multi, curl_waitfd* extra, unsigned int count, int timeoutMs,
                          int* ready) {
    TRAKOMER_CURL_FUNCTION(curl_multi_poll);
    return real != nullptr ? real(multi, extra, count, timeoutMs, ready) : CURLM_INTERNAL_ERROR;
}

CURLMcode curl_multi_cleanup(CURLM* multi) {
    TRAKOMER_CURL_FUNCTION(curl_multi_cleanup);
    return real != nullptr ? real(multi) : CURLM_INTERNAL_ERROR;
}

}  // extern "C"
