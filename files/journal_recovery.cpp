#include "files/journal_recovery.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/track_filters.h"
#include "platform/file_io.h"

namespace trakomer {
namespace {

namespace fs = std::filesystem;

constexpr char kMagic[8] = {'T', 'R', 'K', 'J', 'R', 'N', 'L', '\n'};
// A day of points at the fastest tick is 5 MB; anything far larger is not
// a journal of ours.
constexpr std::size_t kMaxJournalBytes = std::size_t{1} << 28;

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

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

JournalStatus DecodeJournal(const std::string& bytes, Track& track, JournalHeader& header) {
    ResetTrack(track);
    // Created but killed before the header was complete: nothing in it.
    if (bytes.size() < kJournalHeaderSize) {
        return bytes.size() <= sizeof kMagic && std::memcmp(bytes.data(), kMagic, bytes.size()) == 0
                   ? JournalStatus::Ok
                   : JournalStatus::NotAJournal;
    }
    if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return JournalStatus::NotAJournal;
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
        if (!Plausible(p)) continue;
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

std::string FindJournal(const std::string& folder) {
    std::error_code error;
    std::string newest;
    if (folder.empty()) return newest;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!EndsWith(name, kJournalSuffix) || !entry.is_regular_file(error)) continue;
        // Names are start times, so the newest sorts last.
        if (newest.empty() || name > fs::path(newest).filename().string()) {
            newest = entry.path().string();
        }
    }
    return newest;
}

std::string JournalRefusalText(JournalStatus status, const std::string& path) {
    switch (status) {
        case JournalStatus::OtherVersion:
            return "The unsaved recording in " + path +
                   " was written by another version of Trakomer and cannot be read. "
                   "The file is kept.";
        case JournalStatus::NotAJournal:
            return "The file " + path + " is not a recording journal. The file is kept.";
        case JournalStatus::CannotOpen:
            return "The unsaved recording in " + path + " cannot be read. The file is kept.";
        case JournalStatus::Ok:
            break;
    }
    return {};
}

bool SaveRecoveredTrack(const std::string& journal, const Track& track, TrackSaver& saver,
                        std::string& savedPath) {
    savedPath = saver.AutoTrackName();
    if (!saver.WriteTrz(savedPath, track)) return false;
    unlink(journal.c_str());
    return true;
}

bool SetJournalAside(const std::string& journal) {
    return std::rename(journal.c_str(), (journal + kDiscardedSuffix).c_str()) == 0;
}

void RemoveEmptyJournal(const std::string& journal) {
    unlink(journal.c_str());
}

}  // namespace trakomer
