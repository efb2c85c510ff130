#pragma once
// Magellan track files: binary .trk and the same file zipped alone as .trz.

#include <string>

#include "core/dialogs.h"
#include "core/track.h"
#include "files/read_status.h"

namespace trakomer {

constexpr int kTrkHeaderSize = 18;
constexpr int kTrkRecordSize = 29;
constexpr int kMaxTrackNameLength = 255;
constexpr const char* kTrzEntryName = "TRKtmp.trk";

// The bytes of a .trk file carrying `name` (cut to 255 characters).
std::string EncodeTrk(const Track& track, const std::string& name);

// Fills points from index 0 and sets loadedCount. Out-of-range coordinates
// show "Corrupt file" and load nothing; a file that ends early keeps the
// complete records before the end and shows "Corrupt file" too.
ReadStatus DecodeTrk(const std::string& bytes, Track& track, Dialogs& dialogs);

// Writes the .trk named by the path without its extension. The file is
// replaced only once the new one is complete; false on any failure.
bool WriteTrk(const Track& track, const std::string& path);
ReadStatus ReadTrk(const std::string& path, Track& track, Dialogs& dialogs);

// A zip holding the .trk as its one entry "TRKtmp.trk"; the track name inside
// is that of a temporary file in `tempFolder`.
bool WriteTrz(const Track& track, const std::string& path, const std::string& tempFolder);
// Accepts only archives of exactly one entry ("Corrupt file" otherwise),
// whatever that entry is called; the entry is read in memory.
ReadStatus ReadTrz(const std::string& path, Track& track, Dialogs& dialogs);

// Shows the corrupt-file message.
void ReportCorruptFile(Dialogs& dialogs);

// Reads the only entry of a zipped document (at most maxBytes of it); an
// archive that is damaged or holds another number of entries is reported as
// a corrupt file.
ReadStatus ReadZippedDocument(const std::string& path, std::size_t maxBytes, std::string& bytes,
                              Dialogs& dialogs);

}  // namespace trakomer
