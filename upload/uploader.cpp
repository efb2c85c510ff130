#include "upload/uploader.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <utility>

#include "upload/follow_page.h"
#include "upload/ftp_address.h"

namespace trakomer::upload {

namespace {

constexpr int kUploadLocation = 1;
constexpr int kUploadTrack = 2;
constexpr int kUploadChanges = 3;

// Clears the running flag however the upload ends.
class RunningGuard {
public:
    explicit RunningGuard(bool& running) : running_(running) { running_ = true; }
    ~RunningGuard() { running_ = false; }
    RunningGuard(const RunningGuard&) = delete;
    RunningGuard& operator=(const RunningGuard&) = delete;

private:
    bool& running_;
};

// The local hour and minute; -1 each when the clock cannot be read.
std::pair<int, int> LocalHourMinute(const Clock& clock) {
    const std::time_t local =
        static_cast<std::time_t>(clock.UnixSeconds() + clock.LocalOffsetSeconds());
    std::tm parts{};
    if (gmtime_r(&local, &parts) == nullptr) return {-1, -1};
    return {parts.tm_hour, parts.tm_min};
}

}  // namespace

std::string UploadFileName(int uploadType, const std::string& deviceId) {
    return uploadType == kUploadChanges ? "LL." + deviceId : "LL." + deviceId + ".kmz";
}

std::string FormatUploadStatus(int hour, int minute, bool uploaded, int64_t fileSize,
                               int64_t totalBytes, bool connectFailed) {
    char text[96];
    int length = std::snprintf(text, sizeof text, "Upload @ %.2d:%.2d ", hour, minute);
    if (uploaded) {
        std::snprintf(text + length, sizeof text - length, "%.2fk [%.2fk]",
                      static_cast<double>(static_cast<float>(fileSize) / 1024.0f),
                      static_cast<double>(static_cast<float>(totalBytes) / 1024.0f));
    } else {
        return FormatUploadFailure(hour, minute, connectFailed ? "Connect" : "Ftp");
    }
    return text;
}

std::string FormatUploadFailure(int hour, int minute, const std::string& reason) {
    char text[32];
    std::snprintf(text, sizeof text, "Upload @ %.2d:%.2d ", hour, minute);
    return text + ("failed[" + reason + "]");
}

std::string StampedUploadStatus(const Clock& clock, const std::string& outcome) {
    const auto [hour, minute] = LocalHourMinute(clock);
    char text[32];
    std::snprintf(text, sizeof text, "Upload @ %.2d:%.2d ", hour, minute);
    return text + outcome;
}

std::string Uploader::LocalPath(const std::string& name) const {
    return services_.localFolder.empty() ? name : services_.localFolder + "/" + name;
}

uint32_t Uploader::PrepareNetwork(bool autoConnect) {
    if (!autoConnect) return kNetUnmanaged;
    uint32_t status = services_.network.Status();
    if (status != kNetConnected) status = services_.network.Request(kConnectTimeoutMs);
    return status;
}

bool Uploader::NetworkAllows() {
    lastStatus_ = services_.network.Status();
    return lastStatus_ == kNetConnected;
}

int64_t Uploader::WriteUploadFile(const std::string& path, const Track& track,
                                  const Settings& settings) {
    std::error_code ignored;
    std::filesystem::create_directories(services_.localFolder, ignored);
    std::filesystem::remove(path, ignored);
    const UploadWriters& writers = services_.writers;
    int64_t size = -1;
    if (settings.mUploadType == kUploadLocation && writers.location) {
        size = writers.location(path, track, settings);
    } else if (settings.mUploadType == kUploadTrack && writers.track) {
        size = writers.track(path, track, settings);
    } else if (settings.mUploadType == kUploadChanges && writers.changes) {
        size = writers.changes(path, track, lastUploadedIndex_ + 1);
    }
    services_.idleTimer.Reset();
    return size;
}

void Uploader::NoteTlsFailure(const FtpClient& client) {
    if (client.LastTlsFailure() == TlsFailure::None) return;
    failureReason_ = TlsFailureReason(client.LastTlsFailure());
    failureDetail_ = client.TlsDetail();
}

// The page draws the tiles of the map source when it is a tile server's
// address template; a file or folder source means nothing to a browser.
std::string Uploader::FollowTileUrl(const Settings& settings) const {
    if (!followTileUrl_.empty()) return followTileUrl_;
    const std::string& source = settings.mMapSource;
    const bool web = source.rfind("http://", 0) == 0 || source.rfind("https://", 0) == 0;
    return web ? source : std::string();
}

bool Uploader::PublishFollowPage(FtpClient& client, const Track& track, const Settings& settings) {
    const auto store = [&](const std::string& name, const std::string& text) {
        const std::string path = LocalPath(name);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        return NetworkAllows() && client.Store(path, name);
    };
    if (!store(FollowJsonName(services_.deviceId), FollowJson(track, settings))) return false;
    if (!followPageStored_)
        followPageStored_ = store("index.html", FollowPageHtml(services_.deviceId, FollowTileUrl(settings)));
    return followPageStored_;
}

bool Uploader::Transfer(const std::string& path, const std::string& name, const Track& track,
                        const Settings& settings) {
    FtpClient client;
    client.SetPump(services_.pump);
    client.SetTimeoutMs(services_.timeoutMs);
    const FtpEndpoint endpoint = ParseFtpAddress(settings.mFtpAddress);
    if (endpoint.tls) client.SetTls(TlsPeer{endpoint.host, settings.mFtpCertificate});
    if (!NetworkAllows()) return false;
    client.Connect(endpoint.valid ? endpoint.host : std::string(), endpoint.port);
    NoteTlsFailure(client);
    if (!NetworkAllows()) return false;
    client.Login(settings.mFtpUser, settings.mFtpPassword);
    if (!NetworkAllows()) return false;
    client.SetBinaryType();
    if (!NetworkAllows()) return false;
    bool stored = client.Store(path, name);
    if (stored && settings.mFollowPage != 0) stored = PublishFollowPage(client, track, settings);
    NoteTlsFailure(client);
    // The file is on the server once stored; a network lost before QUIT
    // must not make the next upload send it again.
    if (NetworkAllows()) client.Quit();
    return stored;
}

UploadOutcome Uploader::UploadNow(bool manual, const Track& track, const Settings& settings) {
    // The FTP waits keep the window running; a request made meanwhile is ignored.
    if (running_) return UploadOutcome::Busy;
    if (settings.mFtpAddress.empty() || track.lastIndex < 0) return UploadOutcome::NotStarted;
    if (!manual && track.lastIndex <= lastUploadedIndex_) return UploadOutcome::NotStarted;
    RunningGuard guard(running_);

    services_.idleTimer.Reset();
    const bool autoConnect = settings.mGPRSAuto != 0;
    lastStatus_ = PrepareNetwork(autoConnect);
    services_.idleTimer.Reset();
    const std::string name = UploadFileName(settings.mUploadType, services_.deviceId);
    const std::string path = LocalPath(name);

    bool uploaded = false;
    int64_t size = 0;
    failureReason_.clear();
    failureDetail_.clear();
    if (lastStatus_ == kNetUnmanaged || (autoConnect && lastStatus_ == kNetConnected)) {
        size = WriteUploadFile(path, track, settings);
        uploaded = Transfer(path, name, track, settings);
    }
    if (uploaded) {
        bytesUploaded_ += size;
        lastUploadedIndex_ = track.lastIndex;
    }

    const auto [hour, minute] = LocalHourMinute(services_.clock);
    const bool connectFailed = autoConnect && lastStatus_ != kNetConnected;
    statusText_ =
        !uploaded && !connectFailed && !failureReason_.empty()
            ? FormatUploadFailure(hour, minute, failureReason_)
            : FormatUploadStatus(hour, minute, uploaded, size, bytesUploaded_, connectFailed);
    return uploaded ? UploadOutcome::Uploaded : UploadOutcome::Failed;
}

}  // namespace trakomer::upload
