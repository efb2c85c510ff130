#include "files/recording_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/utc_time.h"
#include "platform/file_io.h"

namespace trakomer {
namespace {

constexpr char kMagic[8] = {'T', 'R', 'K', 'J', 'R', 'N', 'L', '\n'};
constexpr int kMaxNameTries = 100;

template <typename T>
void Put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));  // little-endian, as is the host
    out.append(bytes, sizeof(T));
}

// Writes all of `bytes` at `offset`; false on any failure.
bool WriteAt(int fd, const std::string& bytes, int64_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = pwrite(fd, bytes.data() + done, bytes.size() - done,
                                 static_cast<off_t>(offset + static_cast<int64_t>(done)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Makes the new file's name itself survive a power cut.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// "20261208-122415" from UTC seconds.
std::string StampOf(int64_t seconds) {
    const UtcTime t = SecondsToUtc(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

}  // namespace

std::string EncodeJournalHeader(const JournalHeader& header) {
    std::string out(kMagic, sizeof kMagic);
    Put<uint32_t>(out, header.version);
    Put<int32_t>(out, header.profile);
    Put<int32_t>(out, header.units);
    Put<uint32_t>(out, kJournalRecordSize);
    Put<int64_t>(out, header.startTime);
    return out;
}

std::string EncodeJournalRecord(const TrackPoint& p) {
    std::string out;
    out.reserve(kJournalRecordSize);
    Put<double>(out, p.longitude);
    Put<double>(out, p.latitude);
    Put<float>(out, p.altitude);
    Put<int32_t>(out, p.time);
    Put<float>(out, p.speed);
    out += static_cast<char>(p.hundredths);
    return out;
}

FileJournal::FileJournal(std::string folder, const Clock& clock)
    : folder_(std::move(folder)), clock_(clock) {}

FileJournal::~FileJournal() {
    Close();
}

bool FileJournal::OpenNew() {
    if (folder_.empty() || !MakeFolders(folder_)) return false;
    const std::string stem = folder_ + "/" + StampOf(clock_.UnixSeconds());
    for (int i = 1; i <= kMaxNameTries; ++i) {
        const std::string path =
            stem + (i == 1 ? std::string() : "-" + std::to_string(i)) + kJournalSuffix;
        fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            path_ = path;
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

void FileJournal::Begin(const RecordingOptions& options) {
    Close();  // an earlier, unsaved recording keeps its journal
    path_.clear();
    if (!OpenNew()) return;
    JournalHeader header;
    header.profile = options.userProfile;
    header.units = options.units;
    header.startTime = clock_.UnixSeconds();
    const std::string bytes = EncodeJournalHeader(header);
    if (!WriteAt(fd_, bytes, 0) || fdatasync(fd_) != 0) {
        Remove();
        return;
    }
    size_ = kJournalHeaderSize;
    SyncFolder(folder_);
}

void FileJournal::Append(const TrackPoint& point) {
    if (fd_ < 0) return;
    // Written at the end of what is known to be complete, so a failed,
    // partial write is overwritten by the next point.
    if (WriteAt(fd_, EncodeJournalRecord(point), size_) && fdatasync(fd_) == 0) {
        size_ += kJournalRecordSize;
    }
}

void FileJournal::Finish(bool saved) {
    if (saved) {
        Remove();
    } else {
        Close();
    }
}

void FileJournal::Discard() {
    Remove();
}

void FileJournal::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    size_ = 0;
}

void FileJournal::Remove() {
    Close();
    if (!path_.empty()) unlink(path_.c_str());
    path_.clear();
}

}  // namespace trakomer
