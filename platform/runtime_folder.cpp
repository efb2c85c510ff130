#include "platform/runtime_folder.h"

#include <unistd.h>

#include <cstdlib>

namespace trakomer {

std::string RuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && *runtime ? std::string(runtime) + "/trakomer"
                               : "/tmp/trakomer-" + std::to_string(getuid());
}

}  // namespace trakomer
