#pragma once
// Getting recordings back from the journals they left behind: finding the
// journals, newest first, reading their points into a track (a torn or
// zero-filled last record is ignored, the live capacity rule applies
// again), saving each as a zipped track file named from its own start
// time and removing the journal, or moving it aside.

#include <functional>
#include <string>
#include <vector>

#include "core/recording_ports.h"
#include "core/track.h"
#include "files/recording_journal.h"

namespace trakomer {

enum class JournalStatus {
    Ok,
    CannotOpen,
    NotAJournal,   // set aside, never read
    OtherVersion,  // written by another format version: set aside, never read
    TornHeader,    // cut within its header, past the magic: set aside
};

// A journal that cannot be read is renamed to this, keeping its bytes; the
// search never looks at it again.
constexpr const char* kUnreadableSuffix = ".unreadable";

// Reads the journal bytes into the track, which afterwards is under review
// with the recovered points (loadedCount of them, 0 when the journal holds
// none). Records with impossible coordinates are skipped.
JournalStatus DecodeJournal(const std::string& bytes, Track& track, JournalHeader& header);

JournalStatus ReadJournal(const std::string& path, Track& track, JournalHeader& header);

// The folder's journals, newest first: by the start time in the header,
// then by modification time.
std::vector<std::string> ListJournals(const std::string& folder);

// The newest journal in the folder ("" when there is none).
std::string FindJournal(const std::string& folder);

enum class JournalOutcome {
    Recovered,   // saved as `file`, the journal removed
    Locked,      // a running recorder writes it: left alone
    Empty,       // not one point in it: removed
    Declined,    // the user did not want it: moved aside as ".discarded"
    SetAside,    // unreadable: moved aside as ".unreadable" (`file`)
    SaveFailed,  // kept for the next try
};

struct JournalReport {
    std::string journal;
    JournalOutcome outcome = JournalOutcome::Empty;
    int points = 0;
    std::string file;    // the saved track, or where an unreadable journal went
    std::string reason;  // why it was locked, set aside or not saved
};

// "recovered", "locked", "empty", "declined", "set aside", "not saved".
const char* JournalOutcomeName(JournalOutcome outcome);

// What happened to a journal that was set aside or not saved, for the user.
std::string JournalReportText(const JournalReport& report);

// Goes through every journal in the folder, newest first. Each journal
// with points is offered (`offer` sees the track read from it; true saves
// it under the saver's name for its start time, never over an existing
// file). The newest recovered recording is left in `track` under review;
// without one, `track` is reset.
std::vector<JournalReport> RecoverJournals(const std::string& folder, Track& track,
                                           TrackSaver& saver,
                                           const std::function<bool(const Track&)>& offer);

// Moves the journal aside as "<name>.journal.discarded" (never deleted).
bool SetJournalAside(const std::string& journal);

}  // namespace trakomer
