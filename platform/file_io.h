#pragma once
// Whole-file reads and crash-safe writes.

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace trakomer {

// Reads at most `maxBytes` of the file into `bytes`. False if it cannot be
// opened or read.
bool ReadFileBytes(const std::string& path, std::size_t maxBytes, std::string& bytes);
// The same from an open file, from where it stands.
bool ReadFdBytes(int fd, std::size_t maxBytes, std::string& bytes);

// Writes `bytes` to a temporary file in the target's folder, flushes it to
// disk and renames it over `path`, so a failure never leaves a truncated or
// missing file behind. `mode` is applied to the new file as given (it is not
// reduced by the umask). False on any failure; the temporary file is removed.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, mode_t mode);

// Flushes the folder's entries to disk, so that a file created, renamed or
// removed in it stays so after a power cut. False only when the system
// says it could not (a folder that cannot be opened, or a file system
// without the call, is taken as done: there is nothing better to do).
bool SyncFolder(const std::string& folder);

// The permission bits a newly created file gets by default (0666 less the
// umask).
mode_t DefaultFileMode();

// Size in bytes of the file, -1 if there is none.
int64_t FileSize(const std::string& path);

// Creates the folder and its parents; true if it exists afterwards.
bool MakeFolders(const std::string& folder);

// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& path);

}  // namespace trakomer
