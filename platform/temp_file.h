#pragma once
// Unique temporary files.

#include <string>

namespace trakomer {

// The system temporary folder: $TMPDIR if set and not empty, else "/tmp".
std::string SystemTempFolder();

// Creates an empty file with a unique name "<folder>/<prefix>XXXXXX<suffix>"
// (owner-only permissions) and returns its path, or "" on failure.
std::string MakeTempFile(const std::string& folder, const std::string& prefix,
                         const std::string& suffix = "");

// Removes the file when it goes out of scope (if a path was given).
class TempFileGuard {
public:
    explicit TempFileGuard(std::string path) : path_(std::move(path)) {}
    ~TempFileGuard();
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;
    const std::string& path() const { return path_; }
    // Forget the file (it was renamed into place).
    void Release() { path_.clear(); }

private:
    std::string path_;
};

}  // namespace trakomer
