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
//
// The recorder holds an exclusive flock() on its journal for as long as it
// writes it; recovery leaves a locked journal alone.

#include <cstdint>
#include <functional>
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

// The system calls the journal makes on its file. Each fails as the system
// call does (false or -1, with errno set); tests put failures in.
class JournalFileOps {
public:
    virtual ~JournalFileOps() = default;
    // Creates a new file (never an existing one) for reading and writing.
    virtual int Create(const std::string& path);
    virtual bool WriteAt(int fd, const std::string& bytes, int64_t offset);
    virtual bool Sync(int fd);
};

// Writes the journal of the running recording. An empty folder turns the
// journal off. A failed write never stops the recording: the points wait
// in memory, the failure shows in Problem(), and every later point tries
// again; once the file can be written, the waiting points go in first, in
// order, so the journal has no gap. A journal that cannot be created, or
// whose file was removed, is created anew with every point so far.
class FileJournal : public RecordingJournal {
public:
    FileJournal(std::string folder, const Clock& clock, JournalFileOps* ops = nullptr);
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
    // "Journal: No space left on device" while the journal falls behind
    // the recording; "" while every point is on disk.
    const std::string& Problem() const { return problem_; }
    // Called with the new Problem() text when a failure starts or ends
    // during a recording.
    void OnProblemChange(std::function<void(const std::string&)> listener) {
        listener_ = std::move(listener);
    }

private:
    void Flush();
    bool OpenNew();
    bool FileGone() const;
    void SetProblem(const std::string& text);
    void Close();
    void Remove();

    std::string folder_;
    const Clock& clock_;
    JournalFileOps systemOps_;
    JournalFileOps& ops_;
    bool active_ = false;
    int fd_ = -1;
    std::string path_;
    int64_t startTime_ = 0;
    std::string bytes_;        // the whole journal as it should be on disk
    std::size_t durable_ = 0;  // how much of it is written and flushed
    std::string problem_;
    std::function<void(const std::string&)> listener_;
};

}  // namespace trakomer
