#pragma once
// The recording journal: while a recording runs, every point placed in the
// track is appended to a file in the program's state folder and flushed to
// disk at once, so a crash, a kill or a power cut loses at most the newest
// point. The file is a 32-byte header followed by fixed-size point records:
//
//   header  "TRKJRNL\n", u32 version, i32 profile, i32 units,
//           u32 record size, i64 start time (UTC seconds)
//   record  f64 longitude, f64 latitude, f32 altitude, i32 time,
//           f32 speed, u8 hundredths  (29 bytes, little-endian)

#include <cstdint>
#include <string>

#include "core/clock.h"
#include "core/recording_ports.h"
#include "core/track.h"

namespace trakomer {

constexpr uint32_t kJournalVersion = 1;
constexpr int kJournalHeaderSize = 32;
constexpr int kJournalRecordSize = 29;
constexpr const char* kJournalSuffix = ".journal";
constexpr const char* kDiscardedSuffix = ".discarded";

struct JournalHeader {
    uint32_t version = kJournalVersion;
    int32_t profile = 0;
    int32_t units = 0;
    int64_t startTime = 0;
};

std::string EncodeJournalHeader(const JournalHeader& header);
std::string EncodeJournalRecord(const TrackPoint& point);

// Writes the journal of the running recording. An empty folder turns the
// journal off. Write errors are not fatal to the recording: the journal
// then simply stops growing.
class FileJournal : public RecordingJournal {
public:
    FileJournal(std::string folder, const Clock& clock);
    ~FileJournal() override;  // closes; the file stays
    FileJournal(const FileJournal&) = delete;
    FileJournal& operator=(const FileJournal&) = delete;

    // Starts a new journal; the previous one, if kept, stays on disk.
    void Begin(const RecordingOptions& options) override;
    void Append(const TrackPoint& point) override;
    // Removes the journal when saved; otherwise closes it and keeps it.
    void Finish(bool saved) override;
    // Removes the journal, also one a failed save kept.
    void Discard() override;

    // The journal of the current recording, also after a failed save
    // closed it ("" when there is none).
    const std::string& Path() const { return path_; }

private:
    bool OpenNew();
    void Close();
    void Remove();

    std::string folder_;
    const Clock& clock_;
    int fd_ = -1;
    std::string path_;
    int64_t size_ = 0;  // bytes written and flushed
};

}  // namespace trakomer
