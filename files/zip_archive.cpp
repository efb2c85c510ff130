#include "files/zip_archive.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>
#include <unzip.h>

#include <cstdio>

#include "core/utc_time.h"
#include "platform/file_io.h"
#include "platform/temp_file.h"

namespace trakomer {
namespace {

zip_fileinfo EntryInfo(int64_t entryTime) {
    zip_fileinfo info{};
    const UtcTime t = SecondsToUtc(entryTime);
    if (entryTime <= 0 || t.year < 1980) {
        info.tmz_date = {0, 0, 0, 1, 0, 1980};
    } else {
        info.tmz_date.tm_sec = static_cast<uInt>(t.second);
        info.tmz_date.tm_min = static_cast<uInt>(t.minute);
        info.tmz_date.tm_hour = static_cast<uInt>(t.hour);
        info.tmz_date.tm_mday = static_cast<uInt>(t.day);
        info.tmz_date.tm_mon = static_cast<uInt>(t.month - 1);
        info.tmz_date.tm_year = static_cast<uInt>(t.year);
    }
    return info;
}

bool AddEntry(zipFile zip, const ZipEntry& entry, const zip_fileinfo& info) {
    if (zipOpenNewFileInZip(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                            Z_DEFLATED, Z_DEFAULT_COMPRESSION) != ZIP_OK) {
        return false;
    }
    bool ok = true;
    std::size_t done = 0;
    constexpr std::size_t kChunk = 1 << 20;
    while (ok && done < entry.bytes.size()) {
        const std::size_t n = std::min(kChunk, entry.bytes.size() - done);
        ok = zipWriteInFileInZip(zip, entry.bytes.data() + done, static_cast<unsigned>(n)) ==
             ZIP_OK;
        done += n;
    }
    return (zipCloseFileInZip(zip) == ZIP_OK) && ok;
}

}  // namespace

bool WriteZip(const std::string& path, const std::vector<ZipEntry>& entries,
              int64_t entryTime) {
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    TempFileGuard temp(MakeTempFile(FolderOf(path), "." + name + "."));
    if (temp.path().empty()) return false;
    zipFile zip = zipOpen64(temp.path().c_str(), APPEND_STATUS_CREATE);
    if (zip == nullptr) return false;
    const zip_fileinfo info = EntryInfo(entryTime);
    bool ok = true;
    for (const ZipEntry& entry : entries) {
        if (ok) ok = AddEntry(zip, entry, info);
    }
    ok = (zipClose(zip, nullptr) == ZIP_OK) && ok;
    if (!ok || chmod(temp.path().c_str(), DefaultFileMode()) != 0) return false;
    // Make the data durable before the rename replaces an older file.
    const int fd = open(temp.path().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    ok = fsync(fd) == 0;
    close(fd);
    if (!ok || std::rename(temp.path().c_str(), path.c_str()) != 0) return false;
    temp.Release();
    // The new name itself must be on disk before anyone relies on the save
    // (a recording's journal is removed after it).
    return SyncFolder(FolderOf(path));
}

ZipReadStatus ReadSingleZipEntry(const std::string& path, std::size_t maxBytes,
                                 std::string& bytes) {
    bytes.clear();
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return ZipReadStatus::CannotOpen;
    unzFile zip = unzOpen64(path.c_str());
    if (zip == nullptr) return ZipReadStatus::Damaged;
    unz_global_info64 global{};
    ZipReadStatus status = ZipReadStatus::Ok;
    if (unzGetGlobalInfo64(zip, &global) != UNZ_OK) {
        status = ZipReadStatus::Damaged;
    } else if (global.number_entry != 1) {
        status = ZipReadStatus::NotSingleEntry;
    } else if (unzGoToFirstFile(zip) != UNZ_OK || unzOpenCurrentFile(zip) != UNZ_OK) {
        status = ZipReadStatus::Damaged;
    } else {
        char buffer[65536];
        int n = 0;
        while (bytes.size() < maxBytes &&
               (n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0) {
            bytes.append(buffer, std::min(static_cast<std::size_t>(n), maxBytes - bytes.size()));
        }
        // A complete read also checks the entry's CRC when the file is closed.
        const int closed = unzCloseCurrentFile(zip);
        if (n < 0 || (bytes.size() < maxBytes && closed != UNZ_OK)) status = ZipReadStatus::Damaged;
    }
    unzClose(zip);
    return status;
}

}  // namespace trakomer
