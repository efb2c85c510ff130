#pragma once
// Publishing the user's whereabouts: writes the current location, the whole
// track or the points added since the last upload into a small file, makes
// sure the network is up when asked to, stores the file on the FTP server
// and sums the outcome up in one status line for the Summary screen.
//
// The window calls UploadNow(true) for "Upload now" and UploadNow(false) on
// each tick of the automatic upload timer (every mTCPIPUploadFrequency
// seconds while mTCPIP is set and no track is under review).

#include <cstdint>
#include <functional>
#include <string>

#include "core/clock.h"
#include "core/settings.h"
#include "core/track.h"
#include "upload/connection_manager.h"
#include "upload/ftp_client.h"
#include "upload/idle_timer.h"

namespace trakomer::upload {

// Writers of the three upload files. Each writes the file at `path` and
// returns its size: bytes of the archive for the two documents, characters
// of the text for the changes file (negative when nothing was written).
struct UploadWriters {
    std::function<int64_t(const std::string& path, const Track&, const Settings&)> location;
    std::function<int64_t(const std::string& path, const Track&, const Settings&)> track;
    std::function<int64_t(const std::string& path, const Track&, int fromIndex)> changes;
};

struct UploadServices {
    ConnectionManager& network;
    IdleTimer& idleTimer;
    const Clock& clock;
    UploadWriters writers;
    std::string localFolder;  // where the upload file is written
    std::string deviceId;     // names the file
    Pump pump;                // runs while the FTP exchange waits
    int timeoutMs = kDefaultFtpTimeoutMs;
};

enum class UploadOutcome {
    NotStarted,  // uploads off, nothing new, or no point yet: no status line
    Busy,        // another upload is running; this request is ignored
    Uploaded,
    Failed,
};

// "LL.<id>.kmz" for the two documents, "LL.<id>" for the changes file.
std::string UploadFileName(int uploadType, const std::string& deviceId);

// "Upload @ hh:mm " followed by "size [total]" in kilobytes, or the failure.
std::string FormatUploadStatus(int hour, int minute, bool uploaded, int64_t fileSize,
                               int64_t totalBytes, bool connectFailed);
// "Upload @ hh:mm failed[reason]".
std::string FormatUploadFailure(int hour, int minute, const std::string& reason);
// "Upload @ hh:mm " and the outcome, with the clock's local hour and minute
// (-1 each when the time cannot be read).
std::string StampedUploadStatus(const Clock& clock, const std::string& outcome);

class Uploader {
public:
    explicit Uploader(UploadServices services) : services_(std::move(services)) {}

    // One upload: manual for "Upload now", false for the timer.
    UploadOutcome UploadNow(bool manual, const Track& track, const Settings& settings);

    // The map tiles ({z} {x} {y}) under the follow page; without one, the
    // map source's when it is a tile server, else a plain grid.
    void SetFollowTileUrl(std::string url) { followTileUrl_ = std::move(url); }

    const std::string& StatusText() const { return statusText_; }
    // Why the last upload failed, for people; empty after a success.
    const std::string& FailureDetail() const { return failureDetail_; }
    int LastUploadedIndex() const { return lastUploadedIndex_; }
    int64_t BytesUploaded() const { return bytesUploaded_; }
    bool Running() const { return running_; }

private:
    std::string FollowTileUrl(const Settings& settings) const;
    // Brings the network up when the settings ask for it; the status then.
    uint32_t PrepareNetwork(bool autoConnect);
    int64_t WriteUploadFile(const std::string& path, const Track& track, const Settings& settings);
    bool Transfer(const std::string& path, const std::string& name, const Track& track,
                  const Settings& settings);
    // With mFollowPage: the track's JSON after every upload, the page once.
    bool PublishFollowPage(FtpClient& client, const Track& track, const Settings& settings);
    bool NetworkAllows();
    void NoteTlsFailure(const FtpClient& client);
    std::string LocalPath(const std::string& name) const;

    UploadServices services_;
    int lastUploadedIndex_ = -1;
    int64_t bytesUploaded_ = 0;
    std::string statusText_;
    std::string failureReason_;  // the bracketed reason when not Connect or Ftp
    std::string failureDetail_;
    bool running_ = false;
    uint32_t lastStatus_ = kNetUnmanaged;
    bool followPageStored_ = false;
    std::string followTileUrl_;
};

}  // namespace trakomer::upload
