#include "files/trk_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "files/written_points.h"
#include "files/zip_archive.h"
#include "platform/file_io.h"
#include "platform/temp_file.h"

namespace trakomer {
namespace {

constexpr char kSignature[] = "4D533336 MS37";
constexpr int kSignatureLength = 13;
constexpr uint32_t kTrackFileType = 2;
// The largest .trk that can matter: header, longest name, count, full track.
constexpr std::size_t kMaxTrkBytes =
    kTrkHeaderSize + 1 + kMaxTrackNameLength + 4 + std::size_t{kTrkRecordSize} * kTrackCapacity;

template <typename T>
void Put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));  // the file is little-endian, as is the host
    out.append(bytes, sizeof(T));
}

template <typename T>
T Get(const std::string& in, std::size_t offset) {
    T value;
    std::memcpy(&value, in.data() + offset, sizeof(T));
    return value;
}

bool PlausiblePoint(double latitude, double longitude, float altitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::isfinite(altitude) &&
           longitude <= 180 && longitude >= -180 && latitude <= 90 && latitude >= -90;
}

std::string NameForPath(const std::string& path) {
    return path.size() > 4 ? path.substr(0, path.size() - 4) : std::string();
}

}  // namespace

void ReportCorruptFile(Dialogs& dialogs) {
    dialogs.ShowMessage("Corrupt file", "Error", MessageIcon::Error);
}

ReadStatus ReadZippedDocument(const std::string& path, std::size_t maxBytes, std::string& bytes,
                              Dialogs& dialogs) {
    switch (ReadSingleZipEntry(path, maxBytes, bytes)) {
        case ZipReadStatus::CannotOpen:
            return ReadStatus::CannotOpen;
        case ZipReadStatus::NotSingleEntry:
        case ZipReadStatus::Damaged:
            ReportCorruptFile(dialogs);
            return ReadStatus::Corrupt;
        case ZipReadStatus::Ok:
            break;
    }
    return ReadStatus::Ok;
}

int WrittenPointCount(const Track& track) {
    const int count = track.InReview() ? track.lastIndex + 1 : track.lastIndex;
    return std::min(count, kTrackCapacity);
}

std::string EncodeTrk(const Track& track, const std::string& name) {
    const int32_t count = WrittenPointCount(track);
    std::string out;
    out.reserve(std::size_t{kTrkHeaderSize} + 5 + name.size() +
                std::size_t{kTrkRecordSize} * static_cast<std::size_t>(std::max(count, 0)));
    out += static_cast<char>(kSignatureLength);
    out.append(kSignature, kSignatureLength);
    Put<uint32_t>(out, kTrackFileType);
    const std::size_t length = std::min<std::size_t>(name.size(), kMaxTrackNameLength);
    out += static_cast<char>(length);
    out.append(name, 0, length);
    Put<int32_t>(out, count);
    for (int i = 0; i < count; ++i) {
        const TrackPoint& p = track.points[i];
        Put<double>(out, p.longitude);
        Put<double>(out, -p.latitude);
        Put<float>(out, p.altitude);
        Put<int32_t>(out, p.time);
        Put<uint32_t>(out, 1);
        out += static_cast<char>(p.hundredths);
    }
    return out;
}

ReadStatus DecodeTrk(const std::string& bytes, Track& track, Dialogs& dialogs) {
    if (bytes.size() < kTrkHeaderSize + 1) {
        ReportCorruptFile(dialogs);
        return ReadStatus::Corrupt;
    }
    const bool version36 = bytes[12] == '3' && bytes[13] == '6';
    const std::size_t nameLength = static_cast<uint8_t>(bytes[kTrkHeaderSize]);
    std::size_t offset = kTrkHeaderSize + 1 + nameLength;
    if (bytes.size() < offset + 4) {
        ReportCorruptFile(dialogs);
        return ReadStatus::Corrupt;
    }
    const int32_t count = Get<int32_t>(bytes, offset);
    offset += 4;
    const int wanted = std::clamp(count, 0, kTrackCapacity);
    track.loadedCount = wanted;
    for (int i = 0; i < wanted; ++i, offset += kTrkRecordSize) {
        if (bytes.size() < offset + kTrkRecordSize) {
            // Truncated: keep the complete records before the end.
            track.loadedCount = i;
            ReportCorruptFile(dialogs);
            return ReadStatus::Corrupt;
        }
        const double longitude = Get<double>(bytes, offset);
        double latitude = Get<double>(bytes, offset + 8);
        if (!version36) latitude = -latitude;
        const float altitude = Get<float>(bytes, offset + 16);
        if (!PlausiblePoint(latitude, longitude, altitude)) {
            track.loadedCount = 0;
            ReportCorruptFile(dialogs);
            return ReadStatus::Corrupt;
        }
        TrackPoint& p = track.points[i];
        p.latitude = latitude;
        p.longitude = longitude;
        p.altitude = altitude;
        p.time = Get<int32_t>(bytes, offset + 20);
    }
    return ReadStatus::Ok;
}

bool WriteTrk(const Track& track, const std::string& path) {
    return WriteFileAtomically(path, EncodeTrk(track, NameForPath(path)), DefaultFileMode());
}

ReadStatus ReadTrk(const std::string& path, Track& track, Dialogs& dialogs) {
    std::string bytes;
    if (!ReadFileBytes(path, kMaxTrkBytes, bytes)) return ReadStatus::CannotOpen;
    return DecodeTrk(bytes, track, dialogs);
}

bool WriteTrz(const Track& track, const std::string& path, const std::string& tempFolder) {
    // The temporary file only reserves a unique name: the track inside the
    // archive is named after it, and the archive is built in memory.
    TempFileGuard temp(MakeTempFile(tempFolder, "TRK", ".tmp"));
    if (temp.path().empty()) return false;
    const int count = WrittenPointCount(track);
    const int64_t newest = count > 0 ? track.points[count - 1].time : 0;
    return WriteZip(path, {{kTrzEntryName, EncodeTrk(track, NameForPath(temp.path()))}}, newest);
}

ReadStatus ReadTrz(const std::string& path, Track& track, Dialogs& dialogs) {
    std::string bytes;
    const ReadStatus status = ReadZippedDocument(path, kMaxTrkBytes, bytes, dialogs);
    if (status != ReadStatus::Ok) return status;
    return DecodeTrk(bytes, track, dialogs);
}

}  // namespace trakomer
