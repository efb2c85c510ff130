#include "maps/curl_library.h"

#include "platform/shared_library.h"

namespace trakomer::maps {

CurlLibrary::CurlLibrary() {
    // Never unloaded: libcurl keeps global state from its first use.
    const SharedLibrary curl("libcurl.so.4");
    available_ = curl.Take("curl_easy_init", easyInit) &&
                 curl.Take("curl_easy_cleanup", easyCleanup) &&
                 curl.Take("curl_easy_setopt", easySetopt) &&
                 curl.Take("curl_easy_getinfo", easyGetinfo) &&
                 curl.Take("curl_easy_strerror", easyStrerror) &&
                 curl.Take("curl_slist_append", slistAppend) &&
                 curl.Take("curl_slist_free_all", slistFreeAll) &&
                 curl.Take("curl_multi_init", multiInit) &&
                 curl.Take("curl_multi_setopt", multiSetopt) &&
                 curl.Take("curl_multi_add_handle", multiAddHandle) &&
                 curl.Take("curl_multi_remove_handle", multiRemoveHandle) &&
                 curl.Take("curl_multi_perform", multiPerform) &&
                 curl.Take("curl_multi_info_read", multiInfoRead) &&
                 curl.Take("curl_multi_poll", multiPoll) &&
                 curl.Take("curl_multi_cleanup", multiCleanup) &&
                 curl.Take("curl_getdate", getdate);
}

}  // namespace trakomer::maps
