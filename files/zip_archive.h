#pragma once
// Zip archives as the track and KML files use them: written whole from
// memory, read back one entry at a time into memory. Entry names are never
// used as paths on disk.

#include <cstdint>
#include <string>
#include <vector>

namespace trakomer {

struct ZipEntry {
    std::string name;
    std::string bytes;
};

// Creates the archive at `path` with the entries in order (deflated), via a
// temporary file in the same folder renamed into place: a failure leaves any
// previous file of that name untouched. `entryTime` (seconds since 1970,
// taken as local time of the entries) stamps every entry; 0 gives
// 1980-01-01. False on any failure.
bool WriteZip(const std::string& path, const std::vector<ZipEntry>& entries,
              int64_t entryTime = 0);

enum class ZipReadStatus { Ok, CannotOpen, NotSingleEntry, Damaged };

// Reads the archive's only entry into `bytes` (at most `maxBytes` of it; a
// larger entry is cut). NotSingleEntry when the archive holds another number
// of entries.
ZipReadStatus ReadSingleZipEntry(const std::string& path, std::size_t maxBytes,
                                 std::string& bytes);

}  // namespace trakomer
