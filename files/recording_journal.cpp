#include "files/recording_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

int JournalFileOps::Create(const std::string& path) {
    return open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

bool JournalFileOps::WriteAt(int fd, const std::string& bytes, int64_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = pwrite(fd, bytes.data() + done, bytes.size() - done,
                                 static_cast<off_t>(offset + static_cast<int64_t>(done)));
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool JournalFileOps::Sync(int fd) {
    return fdatasync(fd) == 0;
}

FileJournal::FileJournal(std::string folder, const Clock& clock, JournalFileOps* ops)
    : folder_(std::move(folder)), clock_(clock), ops_(ops != nullptr ? *ops : systemOps_) {}

FileJournal::~FileJournal() {
    Close();
}

// A new file named from the start time, locked before anything is in it.
// A recovery that looked at the empty file first holds the lock (or has
// removed the file): then the next name is taken.
bool FileJournal::OpenNew() {
    if (!MakeFolders(folder_)) return false;
    const std::string stem = folder_ + "/" + StampOf(startTime_);
    for (int i = 1; i <= kMaxNameTries; ++i) {
        const std::string path =
            stem + (i == 1 ? std::string() : "-" + std::to_string(i)) + kJournalSuffix;
        const int fd = ops_.Create(path);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return false;
        fd_ = fd;
        if (flock(fd_, LOCK_EX | LOCK_NB) == 0 && !FileGone()) {
            path_ = path;
            durable_ = 0;
            return true;
        }
        close(fd_);
        fd_ = -1;
    }
    errno = EEXIST;
    return false;
}

// The file was removed under us (the folder deleted, say): writing on
// would only fill a file nobody can find.
bool FileJournal::FileGone() const {
    struct stat info {};
    return fstat(fd_, &info) != 0 || info.st_nlink == 0;
}

void FileJournal::Begin(const RecordingOptions& options) {
    Close();  // an earlier, unsaved recording keeps its journal
    path_.clear();
    problem_.clear();
    if (folder_.empty()) return;
    active_ = true;
    startTime_ = clock_.UnixSeconds();
    JournalHeader header;
    header.profile = options.userProfile;
    header.units = options.units;
    header.startTime = startTime_;
    bytes_ = EncodeJournalHeader(header);
    Flush();
}

void FileJournal::Append(const TrackPoint& point) {
    if (!active_) return;
    bytes_ += EncodeJournalRecord(point);
    Flush();
}

// Brings the file up to bytes_. What is not durable is written again at
// the end of what is, so a failed, partial write is overwritten.
void FileJournal::Flush() {
    if (fd_ >= 0 && FileGone()) {
        close(fd_);
        fd_ = -1;
        path_.clear();
    }
    if (fd_ < 0) {
        const bool created = OpenNew();
        if (created) SyncFolder(folder_);  // the new name survives a power cut
        if (!created) return SetProblem(std::strerror(errno));
    }
    if (durable_ < bytes_.size()) {
        if (!ops_.WriteAt(fd_, bytes_.substr(durable_), static_cast<int64_t>(durable_)) ||
            !ops_.Sync(fd_)) {
            return SetProblem(std::strerror(errno));
        }
        durable_ = bytes_.size();
    }
    SetProblem({});
}

void FileJournal::SetProblem(const std::string& reason) {
    const std::string text = reason.empty() ? std::string() : "Journal: " + reason;
    if (text == problem_) return;
    problem_ = text;
    if (listener_) listener_(problem_);
}

void FileJournal::Finish(bool saved) {
    if (saved) {
        Remove();
        return;
    }
    if (active_ && durable_ < bytes_.size()) Flush();  // a last try before the points are gone
    Close();
}

void FileJournal::Discard() {
    Remove();
}

void FileJournal::Close() {
    if (fd_ >= 0) close(fd_);  // releases the lock
    fd_ = -1;
    active_ = false;
    durable_ = 0;
    bytes_.clear();
    problem_.clear();
}

void FileJournal::Remove() {
    // Removed while still locked, so no recovery reads it half gone.
    if (!path_.empty()) unlink(path_.c_str());
    Close();
    path_.clear();
}

}  // namespace trakomer
