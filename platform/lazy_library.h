#pragma once
// Shared libraries opened when first used instead of when the program starts.
//
// A library that only some runs need (TLS for uploads, HTTP for map tiles)
// costs every start milliseconds when the program is linked with it: the
// loader maps and relocates it and everything it pulls in. Such a library is
// left out of the link instead; stand-ins with the names of the functions
// the program calls open it with dlopen on the first call and pass each call
// on. The program is not linked with the library, so the stand-ins are the
// only definitions it sees.

#include <dlfcn.h>

namespace trakomer {

// The function `name` of the opened `library`; null when either is missing.
template <typename Function>
Function LibraryFunction(void* library, const char* name) {
    return library != nullptr ? reinterpret_cast<Function>(dlsym(library, name)) : nullptr;
}

}  // namespace trakomer

// Defines `void* function()`, giving the library `soname` opened on its
// first call (null when it is not installed).
#define TRAKOMER_LAZY_LIBRARY(function, soname)                                   \
    void* function() {                                                            \
        static void* const handle = dlopen(soname, RTLD_NOW | RTLD_LOCAL);        \
        return handle;                                                            \
    }

// Defines `result name params` as a stand-in that calls the library's own
// `name` with `args`, or gives `missing` when the library or function is
// absent. `library` is an expression giving the dlopen handle.
#define TRAKOMER_LAZY_FUNCTION(library, result, name, params, args, missing)             \
    result name params {                                                                  \
        static const auto real = ::trakomer::LibraryFunction<decltype(&::name)>(library, #name); \
        return real != nullptr ? real args : missing;                                     \
    }
