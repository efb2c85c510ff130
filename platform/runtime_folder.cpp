#include "platform/runtime_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace trakomer {

std::string RuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && *runtime ? std::string(runtime) + "/trakomer"
                               : "/tmp/trakomer-" + std::to_string(getuid());
}

std::string PrepareRuntimeFolder(const std::string& folder) {
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return "cannot create the runtime folder " + folder + ": " + std::strerror(errno);
    }
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) {
        return "cannot use the runtime folder " + folder + ": " + std::strerror(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return "the runtime folder " + folder + " is not a folder (a link or a file is there)";
    }
    if (info.st_uid != getuid()) {
        return "the runtime folder " + folder + " belongs to user " +
               std::to_string(info.st_uid) + ", not to you";
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        return "the runtime folder " + folder + " may be written by others (mode " + mode + ")";
    }
    return {};
}

bool CreateMarkerFile(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    close(fd);
    return true;
}

}  // namespace trakomer
