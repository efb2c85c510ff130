#include "files/journal_recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "core/track_filters.h"
#include "platform/file_io.h"

namespace trakomer {
namespace {

namespace fs = std::filesystem;

constexpr char kMagic[8] = {'T', 'R', 'K', 'J', 'R', 'N', 'L', '\n'};
// A day of points at the fastest tick is 5 MB; anything far larger is not
// a journal of ours.
constexpr std::size_t kMaxJournalBytes = std::size_t{1} << 28;
constexpr int kMaxNameTries = 1000;

template <typename T>
T Get(const std::string& in, std::size_t offset) {
    T value;
    std::memcpy(&value, in.data() + offset, sizeof(T));
    return value;
}

bool Plausible(const TrackPoint& p) {
    return std::isfinite(p.latitude) && std::isfinite(p.longitude) && std::isfinite(p.altitude) &&
           std::isfinite(p.speed) && p.latitude >= -90 && p.latitude <= 90 && p.longitude >= -180 &&
           p.longitude <= 180;
}

// A point at 0,0 at time 0 is no point: it is what a file system leaves
// in space it gave the file before a power cut, without the data that was
// to fill it.
bool ZeroFilled(const TrackPoint& p) {
    return p.time == 0 && p.latitude == 0 && p.longitude == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The start time in the journal's header, 0 when it has none.
int64_t StartTimeOf(const std::string& path) {
    std::string bytes;
    if (!ReadFileBytes(path, kJournalHeaderSize, bytes) || bytes.size() < kJournalHeaderSize ||
        std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        return 0;
    }
    return Get<int64_t>(bytes, 24);
}

const char* RefusalReason(JournalStatus status) {
    switch (status) {
        case JournalStatus::OtherVersion:
            return "written by another version of Trakomer";
        case JournalStatus::NotAJournal:
            return "not a recording journal";
        case JournalStatus::TornHeader:
            return "its header is incomplete";
        case JournalStatus::CannotOpen:
            return "it cannot be read";
        case JournalStatus::Ok:
            break;
    }
    return "";
}

// "name.trz", then "name-2.trz", ...: the first that is not taken, made
// (empty) at once so that no other save takes it. "" when every name is
// taken; a folder that cannot be written gives the plain name, for the
// save to fail on.
std::string ReserveName(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    const std::size_t slash = name.rfind('/');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string stem = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = hasExtension ? name.substr(dot) : "";
    for (int i = 1; i <= kMaxNameTries; ++i) {
        const std::string candidate = i == 1 ? name : stem + "-" + std::to_string(i) + extension;
        const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            close(fd);
            return candidate;
        }
        if (errno != EEXIST) return candidate;
    }
    return {};
}

// One journal, held under its lock from reading to removal.
class ClaimedJournal {
public:
    explicit ClaimedJournal(const std::string& path)
        : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        error_ = fd_ < 0 ? errno : 0;
        if (fd_ >= 0 && flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            locked_ = errno == EWOULDBLOCK;
            error_ = locked_ ? 0 : errno;
        }
    }
    ~ClaimedJournal() {
        if (fd_ >= 0) close(fd_);
    }
    ClaimedJournal(const ClaimedJournal&) = delete;
    ClaimedJournal& operator=(const ClaimedJournal&) = delete;

    bool LockedByOther() const { return locked_; }
    // Reads it; CannotOpen with the reason when it cannot.
    JournalStatus Read(Track& track, JournalHeader& header, std::string& why) const {
        std::string bytes;
        if (error_ == 0 && ReadFdBytes(fd_, kMaxJournalBytes, bytes)) {
            return DecodeJournal(bytes, track, header);
        }
        why = std::string("it cannot be read: ") + std::strerror(error_ != 0 ? error_ : errno);
        return JournalStatus::CannotOpen;
    }

private:
    int fd_;
    int error_ = 0;
    bool locked_ = false;
};

void SaveRecovered(const Track& track, const JournalHeader& header, TrackSaver& saver,
                   JournalReport& report) {
    const std::string name = ReserveName(
        header.startTime > 0 ? saver.AutoTrackNameAt(header.startTime) : saver.AutoTrackName());
    if (name.empty()) {
        report.outcome = JournalOutcome::SaveFailed;
        report.reason = "every name for it is taken";
        return;
    }
    report.file = name;
    if (!saver.WriteTrz(name, track)) {
        unlink(name.c_str());  // the reserved, empty name
        report.outcome = JournalOutcome::SaveFailed;
        report.reason = saver.FailureReason();
        return;
    }
    // The save is on disk, its name too: now the journal may go.
    report.outcome = JournalOutcome::Recovered;
    unlink(report.journal.c_str());
}

JournalReport HandleJournal(const std::string& path, Track& track, TrackSaver& saver,
                            const std::function<bool(const Track&)>& offer) {
    JournalReport report;
    report.journal = path;
    const ClaimedJournal claim(path);
    if (claim.LockedByOther()) {
        report.outcome = JournalOutcome::Locked;
        report.reason = "locked by a running recorder";
        return report;
    }
    JournalHeader header;
    const JournalStatus status = claim.Read(track, header, report.reason);
    if (status != JournalStatus::Ok) {
        if (report.reason.empty()) report.reason = RefusalReason(status);
        report.outcome = JournalOutcome::SetAside;
        report.file = path + kUnreadableSuffix;
        if (std::rename(path.c_str(), report.file.c_str()) != 0) {
            report.reason += std::string("; it cannot be moved aside: ") + std::strerror(errno);
            report.file.clear();
        }
        return report;
    }
    report.points = track.loadedCount;
    if (track.loadedCount == 0) {
        report.outcome = JournalOutcome::Empty;  // started, but not one point came
        unlink(path.c_str());
    } else if (!offer(track)) {
        report.outcome = JournalOutcome::Declined;
        SetJournalAside(path);
    } else {
        SaveRecovered(track, header, saver, report);
    }
    return report;
}

}  // namespace

JournalStatus DecodeJournal(const std::string& bytes, Track& track, JournalHeader& header) {
    ResetTrack(track);
    if (std::memcmp(bytes.data(), kMagic, std::min(bytes.size(), sizeof kMagic)) != 0) {
        return JournalStatus::NotAJournal;
    }
    // Created but killed before the magic was complete: nothing in it.
    if (bytes.size() <= sizeof kMagic) return JournalStatus::Ok;
    if (bytes.size() < kJournalHeaderSize) return JournalStatus::TornHeader;
    header.version = Get<uint32_t>(bytes, 8);
    if (header.version != kJournalVersion) return JournalStatus::OtherVersion;
    if (Get<uint32_t>(bytes, 20) != kJournalRecordSize) return JournalStatus::NotAJournal;
    header.profile = Get<int32_t>(bytes, 12);
    header.units = Get<int32_t>(bytes, 16);
    header.startTime = Get<int64_t>(bytes, 24);

    // Whole records only: a torn last record (cut by a power failure) is
    // left out. Points beyond the capacity are thinned as while recording.
    int last = -1;
    for (std::size_t at = kJournalHeaderSize; at + kJournalRecordSize <= bytes.size();
         at += kJournalRecordSize) {
        TrackPoint p;
        p.longitude = Get<double>(bytes, at);
        p.latitude = Get<double>(bytes, at + 8);
        p.altitude = Get<float>(bytes, at + 16);
        p.time = Get<int32_t>(bytes, at + 20);
        p.speed = Get<float>(bytes, at + 24);
        p.hundredths = static_cast<uint8_t>(bytes[at + 28]);
        if (!Plausible(p) || ZeroFilled(p)) continue;
        if (++last > kTrackCapacity - 1) last = ThinForCapacity(track, last);
        track.points[static_cast<std::size_t>(last)] = p;
    }
    track.loadedCount = last + 1;
    track.lastIndex = last;
    return JournalStatus::Ok;
}

JournalStatus ReadJournal(const std::string& path, Track& track, JournalHeader& header) {
    std::string bytes;
    if (!ReadFileBytes(path, kMaxJournalBytes, bytes)) return JournalStatus::CannotOpen;
    return DecodeJournal(bytes, track, header);
}

std::vector<std::string> ListJournals(const std::string& folder) {
    struct Found {
        int64_t start;
        fs::file_time_type modified;
        std::string path;
    };
    std::vector<Found> found;
    std::error_code error;
    if (folder.empty()) return {};
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string path = entry.path().string();
        if (!EndsWith(path, kJournalSuffix) || !entry.is_regular_file(error)) continue;
        found.push_back({StartTimeOf(path), entry.last_write_time(error), path});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.start != b.start) return a.start > b.start;
        if (a.modified != b.modified) return a.modified > b.modified;
        return a.path > b.path;
    });
    std::vector<std::string> paths;
    for (Found& f : found) paths.push_back(std::move(f.path));
    return paths;
}

std::string FindJournal(const std::string& folder) {
    const std::vector<std::string> all = ListJournals(folder);
    return all.empty() ? std::string() : all.front();
}

const char* JournalOutcomeName(JournalOutcome outcome) {
    switch (outcome) {
        case JournalOutcome::Recovered:
            return "recovered";
        case JournalOutcome::Locked:
            return "locked";
        case JournalOutcome::Empty:
            return "empty";
        case JournalOutcome::Declined:
            return "declined";
        case JournalOutcome::SetAside:
            return "set aside";
        case JournalOutcome::SaveFailed:
            return "not saved";
    }
    return "";
}

std::string JournalReportText(const JournalReport& r) {
    if (r.outcome == JournalOutcome::SetAside) {
        return "The unsaved recording in " + r.journal + " cannot be recovered (" + r.reason +
               "). " + (r.file.empty() ? "" : "Its bytes are kept in " + r.file + ".");
    }
    if (r.outcome == JournalOutcome::SaveFailed) {
        return "The unsaved recording in " + r.journal + " could not be saved" +
               (r.file.empty() ? "" : " as " + r.file) +
               (r.reason.empty() ? "" : " (" + r.reason + ")") + ". The journal is kept.";
    }
    return {};
}

std::vector<JournalReport> RecoverJournals(const std::string& folder, Track& track,
                                           TrackSaver& saver,
                                           const std::function<bool(const Track&)>& offer) {
    std::vector<JournalReport> reports;
    auto read = std::make_unique<Track>();
    bool kept = false;
    for (const std::string& path : ListJournals(folder)) {
        reports.push_back(HandleJournal(path, *read, saver, offer));
        if (!kept && reports.back().outcome == JournalOutcome::Recovered) {
            track = *read;
            kept = true;
        }
    }
    if (!kept) ResetTrack(track);
    return reports;
}

bool SetJournalAside(const std::string& journal) {
    return std::rename(journal.c_str(), (journal + kDiscardedSuffix).c_str()) == 0;
}

}  // namespace trakomer
