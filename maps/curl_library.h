#pragma once
// libcurl's entry points, taken from the library when tiles are first
// fetched: libcurl brings a dozen protocol libraries with it, and loading
// them all at start-up costs every run of the recorder (and of the
// command-line tool) that fetches no tiles several milliseconds.

#include <curl/curl.h>

namespace trakomer::maps {

class CurlLibrary {
public:
    // Loads libcurl (once per process; it then stays). Available() is false
    // when it cannot be loaded.
    CurlLibrary();
    CurlLibrary(const CurlLibrary&) = delete;
    CurlLibrary& operator=(const CurlLibrary&) = delete;

    bool Available() const { return available_; }

    decltype(&curl_easy_init) easyInit = nullptr;
    decltype(&curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&curl_easy_setopt) easySetopt = nullptr;
    decltype(&curl_easy_getinfo) easyGetinfo = nullptr;
    decltype(&curl_easy_strerror) easyStrerror = nullptr;
    decltype(&curl_slist_append) slistAppend = nullptr;
    decltype(&curl_slist_free_all) slistFreeAll = nullptr;
    decltype(&curl_multi_init) multiInit = nullptr;
    decltype(&curl_multi_setopt) multiSetopt = nullptr;
    decltype(&curl_multi_add_handle) multiAddHandle = nullptr;
    decltype(&curl_multi_remove_handle) multiRemoveHandle = nullptr;
    decltype(&curl_multi_perform) multiPerform = nullptr;
    decltype(&curl_multi_info_read) multiInfoRead = nullptr;
    decltype(&curl_multi_poll) multiPoll = nullptr;
    decltype(&curl_multi_cleanup) multiCleanup = nullptr;
    decltype(&curl_getdate) getdate = nullptr;

private:
    bool available_ = false;
};

}  // namespace trakomer::maps
