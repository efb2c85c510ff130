#pragma once
// Shared pieces of the fuzz targets.

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "core/dialogs.h"

namespace trakomer::fuzz {

// Messages go nowhere; questions are answered No.
class QuietDialogs : public Dialogs {
public:
    void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

// A file of this process that each input is written to, for readers that
// take a path. Removed at exit.
class InputFile {
public:
    explicit InputFile(const char* suffix) {
        std::string pattern = std::string("/tmp/trakomer-fuzz-XXXXXX") + suffix;
        const int fd = mkstemps(pattern.data(), static_cast<int>(std::string(suffix).size()));
        if (fd >= 0) close(fd);
        path_ = pattern;
    }
    ~InputFile() { unlink(path_.c_str()); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const std::string& Write(const uint8_t* data, size_t size) {
        FILE* file = std::fopen(path_.c_str(), "wb");
        if (file) {
            if (size > 0) std::fwrite(data, 1, size, file);
            std::fclose(file);
        }
        return path_;
    }

private:
    std::string path_;
};

}  // namespace trakomer::fuzz
