#include "maps/curl_library.h"

#include <dlfcn.h>

namespace trakomer::maps {
namespace {

template <typename Function>
bool Take(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

}  // namespace

CurlLibrary::CurlLibrary() {
    // Never unloaded: libcurl keeps global state from its first use.
    void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (library == nullptr) return;
    available_ =
        Take(library, "curl_easy_init", easyInit) &&
        Take(library, "curl_easy_cleanup", easyCleanup) &&
        Take(library, "curl_easy_setopt", easySetopt) &&
        Take(library, "curl_easy_getinfo", easyGetinfo) &&
        Take(library, "curl_easy_strerror", easyStrerror) &&
        Take(library, "curl_slist_append", slistAppend) &&
        Take(library, "curl_slist_free_all", slistFreeAll) &&
        Take(library, "curl_multi_init", multiInit) &&
        Take(library, "curl_multi_setopt", multiSetopt) &&
        Take(library, "curl_multi_add_handle", multiAddHandle) &&
        Take(library, "curl_multi_remove_handle", multiRemoveHandle) &&
        Take(library, "curl_multi_perform", multiPerform) &&
        Take(library, "curl_multi_info_read", multiInfoRead) &&
        Take(library, "curl_multi_poll", multiPoll) &&
        Take(library, "curl_multi_cleanup", multiCleanup) && Take(library, "curl_getdate", getdate);
    // RTLD_NODELETE keeps the library; the next CurlLibrary finds it loaded.
    dlclose(library);
}

}  // namespace trakomer::maps
