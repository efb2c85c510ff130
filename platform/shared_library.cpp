#include "platform/shared_library.h"

#include <dlfcn.h>

namespace trakomer {

SharedLibrary::SharedLibrary(const char* fileName)
    : handle_(dlopen(fileName, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE)) {}

// RTLD_NODELETE keeps the library mapped: closing drops only the handle.
SharedLibrary::~SharedLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

void* SharedLibrary::Symbol(const char* name) const {
    return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

}  // namespace trakomer
