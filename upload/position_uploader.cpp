#include "upload/position_uploader.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "core/geodesy.h"
#include "upload/uploader.h"

namespace trakomer::upload {

namespace {

constexpr int64_t kRetrySeconds = 30;
constexpr double kDegreesToRadians = M_PI / 180.0;

std::string Number(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string PercentEncoded(const std::string& text) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kDigits[c >> 4];
            out += kDigits[c & 15];
        }
    }
    return out;
}

struct Field {
    const char* name;         // the protocol's parameter
    const char* placeholder;  // the template's
    std::string value;        // empty: unknown, left out
};

std::vector<Field> Fields(const Position& p, const std::string& deviceId) {
    return {
        {"id", "{id}", PercentEncoded(deviceId)},
        {"lat", "{lat}", Number("%.7f", p.latitude)},
        {"lon", "{lon}", Number("%.7f", p.longitude)},
        {"timestamp", "{time}", std::to_string(p.time)},
        {"speed", "{speed}", Number("%.2f", p.speedKnots)},
        {"bearing", "{bearing}", Number("%.1f", p.bearing)},
        {"altitude", "{alt}", Number("%.1f", p.altitude)},
        {"hdop", "{hdop}", p.hdop > 0 ? Number("%.1f", p.hdop) : std::string()},
        {"batt", "{batt}", p.battery >= 0 ? std::to_string(p.battery) : std::string()},
    };
}

// Compass bearing from point a to point b, 0 when they coincide.
double BearingBetween(const TrackPoint& a, const TrackPoint& b) {
    if (a.latitude == b.latitude && a.longitude == b.longitude) return 0;
    // TrackAngle counts counter-clockwise from north.
    const double angle =
        TrackAngle(a.latitude * kDegreesToRadians, a.longitude * kDegreesToRadians,
                   b.latitude * kDegreesToRadians, b.longitude * kDegreesToRadians);
    return std::fmod(360.0 - angle + 360.0, 360.0);
}

}  // namespace

PositionRequest BuildPositionRequest(const std::string& urlSetting, bool post,
                                     const Position& position, const std::string& deviceId) {
    std::string url = urlSetting;
    std::string query;
    const std::vector<Field> fields = Fields(position, deviceId);
    if (url.find('{') != std::string::npos) {
        for (const Field& field : fields) {
            for (size_t at = url.find(field.placeholder); at != std::string::npos;
                 at = url.find(field.placeholder, at + field.value.size()))
                url.replace(at, std::string(field.placeholder).size(), field.value);
        }
        if (post) {
            if (const size_t mark = url.find('?'); mark != std::string::npos) {
                query = url.substr(mark + 1);
                url.resize(mark);
            }
        }
    } else {
        for (const Field& field : fields) {
            if (field.value.empty()) continue;
            query += (query.empty() ? "" : "&") + std::string(field.name) + "=" + field.value;
        }
        if (!post) {
            url += (url.find('?') == std::string::npos ? "?" : "&") + query;
            query.clear();
        }
    }
    return PositionRequest{ParseHttpUrl(url), post, query};
}

PositionUploader::PositionUploader(PositionServices services) : services_(std::move(services)) {}

PositionQueue& PositionUploader::Queue() {
    if (!queue_) queue_ = std::make_unique<PositionQueue>(services_.stateFolder);
    return *queue_;
}

void PositionUploader::Offer(const Track& track, const Settings& settings,
                             const PositionExtras& extras) {
    if (track.InReview()) return;
    if (track.lastIndex < offeredIndex_) offeredIndex_ = -1;  // a new track
    if (settings.mPositionUrl.empty()) {
        offeredIndex_ = track.lastIndex;
        return;
    }
    for (int i = offeredIndex_ + 1; i <= track.lastIndex && i < kTrackCapacity; ++i) {
        const TrackPoint& point = track.points[i];
        Position position;
        position.time = point.time;
        position.hundredths = point.hundredths;
        // Queued before: an earlier run's track, restored after a restart.
        if (position.Stamp() <= Queue().LastStamp()) {
            offeredIndex_ = i;
            continue;
        }
        position.latitude = point.latitude;
        position.longitude = point.longitude;
        position.speedKnots = point.speed;
        position.altitude = point.altitude;
        position.bearing = i > 0 ? BearingBetween(track.points[i - 1], point) : 0;
        position.hdop = extras.hdop;
        position.battery = extras.battery;
        if (!Queue().Append(position)) break;  // tried again at the next offer
        offeredIndex_ = i;
    }
}

std::string PositionUploader::Deliver(const Settings& settings, bool& stop) {
    const PositionRequest request = BuildPositionRequest(
        settings.mPositionUrl, settings.mPositionPost != 0, Queue().Front(), services_.deviceId);
    if (!request.url.valid) {
        stop = true;
        detail_ = "mPositionUrl is not an http:// or https:// address";
        return "Http url";
    }
    const HttpAnswer answer =
        HttpRequest(request.url, request.post, request.body, services_.timeoutMs, services_.pump);
    detail_ = answer.detail;
    if (answer.tls != TlsFailure::None) return TlsFailureReason(answer.tls);
    if (answer.status == 0) return "Connect";
    if (answer.status >= 200 && answer.status < 300) return {};
    // 3xx and 4xx: the address or the device is wrong; 5xx: try again later.
    stop = answer.status < 500;
    detail_ = "the server answered " + std::to_string(answer.status) + " for device id " +
              services_.deviceId +
              (stop ? "; sending stops until the setting changes or Upload now" : "");
    return "Http " + std::to_string(answer.status);
}

PositionRun PositionUploader::Send(const Settings& settings, int maxCount, bool manual) {
    PositionRun run;
    if (running_ || settings.mPositionUrl.empty() || Queue().Empty()) return run;
    if (manual) {
        stoppedUrl_.clear();
        retryAfter_ = 0;
    }
    if (!stoppedUrl_.empty() && stoppedUrl_ == settings.mPositionUrl) return run;
    stoppedUrl_.clear();
    const int64_t now = services_.clock.UnixSeconds();
    if (now < retryAfter_) return run;
    std::string reason;
    running_ = true;
    while (!Queue().Empty() && run.sent < maxCount) {
        bool stop = false;
        reason = Deliver(settings, stop);
        if (!reason.empty()) {
            ++run.failed;
            if (stop) stoppedUrl_ = settings.mPositionUrl;
            retryAfter_ = now + kRetrySeconds;
            break;
        }
        if (!Queue().PopFront()) break;  // sent, but the count could not be stored
        ++run.sent;
    }
    running_ = false;
    totalSent_ += run.sent;
    if (reason.empty()) {
        detail_.clear();
        statusText_ =
            StampedUploadStatus(services_.clock, std::to_string(run.sent) + " pos [" +
                                                     std::to_string(totalSent_) + " pos]");
    } else {
        statusText_ =
            StampedUploadStatus(services_.clock, "failed[" + reason + "] " +
                                                     std::to_string(Queue().Size()) + " queued");
    }
    return run;
}

}  // namespace trakomer::upload
