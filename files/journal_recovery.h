#pragma once
// Getting a recording back from the journal it left behind: finding the
// journal, reading its points into the track (a torn last record is
// ignored, the live capacity rule applies again), saving it as a zipped
// track file and removing the journal, or moving it aside.

#include <string>

#include "core/recording_ports.h"
#include "core/track.h"
#include "files/recording_journal.h"

namespace trakomer {

enum class JournalStatus {
    Ok,
    CannotOpen,
    NotAJournal,   // kept, never read
    OtherVersion,  // written by another format version: kept, never read
};

// Reads the journal bytes into the track, which afterwards is under review
// with the recovered points (loadedCount of them, 0 when the journal holds
// none). Records with impossible coordinates are skipped.
JournalStatus DecodeJournal(const std::string& bytes, Track& track, JournalHeader& header);

JournalStatus ReadJournal(const std::string& path, Track& track, JournalHeader& header);

// The newest journal in the folder ("" when there is none).
std::string FindJournal(const std::string& folder);

// Why a journal was not read, for the user.
std::string JournalRefusalText(JournalStatus status, const std::string& path);

// Saves the recovered track under the saver's automatic name and removes
// the journal. False when saving failed; the journal is then kept.
bool SaveRecoveredTrack(const std::string& journal, const Track& track, TrackSaver& saver,
                        std::string& savedPath);

// Moves the journal aside as "<name>.journal.discarded" (never deleted).
bool SetJournalAside(const std::string& journal);

// Removes a journal that holds no point.
void RemoveEmptyJournal(const std::string& journal);

}  // namespace trakomer
