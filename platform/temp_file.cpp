#include "platform/temp_file.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace trakomer {

std::string SystemTempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return (tmp != nullptr && *tmp != '\0') ? std::string(tmp) : std::string("/tmp");
}

std::string MakeTempFile(const std::string& folder, const std::string& prefix,
                         const std::string& suffix) {
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '/') pattern += '/';
    pattern += prefix + "XXXXXX" + suffix;
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = mkstemps(buffer.data(), static_cast<int>(suffix.size()));
    if (fd < 0) return {};
    close(fd);
    return std::string(buffer.data());
}

TempFileGuard::~TempFileGuard() {
    if (!path_.empty()) unlink(path_.c_str());
}

}  // namespace trakomer
