#pragma once
// Positions over HTTP: every new point of the live track is queued on disk
// and sent as one request, in the protocol tracking servers know as OsmAnd
// (id, lat, lon, timestamp, speed in knots, bearing, altitude, hdop, batt),
// or through a URL template with {lat} {lon} {time} {speed} {alt} {bearing}
// {batt} {id}. A server that does not answer, or answers 5xx, keeps the
// queue for later; a 4xx stops the sending until the user acts.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/settings.h"
#include "core/track.h"
#include "upload/http_client.h"
#include "upload/position_queue.h"

namespace trakomer::upload {

struct PositionRequest {
    HttpUrl url;
    bool post = false;
    std::string body;  // the form of a POST
};

// The request that carries one position for the mPositionUrl text.
PositionRequest BuildPositionRequest(const std::string& urlSetting, bool post,
                                     const Position& position, const std::string& deviceId);

// The figures a track point does not hold.
struct PositionExtras {
    double hdop = 0;   // 0: unknown
    int battery = -1;  // percent; -1: unknown
};

constexpr int kDefaultPositionTimeoutMs = 10000;

struct PositionServices {
    const Clock& clock;
    std::string stateFolder;  // holds the queue
    std::string deviceId;
    Pump pump;
    int timeoutMs = kDefaultPositionTimeoutMs;
};

struct PositionRun {
    int sent = 0;
    int failed = 0;  // requests that failed (sending stops at the first)
};

class PositionUploader {
public:
    explicit PositionUploader(PositionServices services);

    // Queues the live track's points added since the last call, leaving out
    // any not newer than the newest ever queued (a track restored after a
    // restart). Does nothing while positions are off or a track is under
    // review.
    void Offer(const Track& track, const Settings& settings, const PositionExtras& extras);
    // Sends up to maxCount queued positions in order. A manual run also
    // retries at once after a failure and resumes after a 4xx. A call made
    // while a run waits on the network (through the pump) does nothing.
    PositionRun Send(const Settings& settings, int maxCount, bool manual);

    size_t Queued() { return Queue().Size(); }
    // The summary line: "Upload @ hh:mm 3 pos [57 pos]" or
    // "Upload @ hh:mm failed[Http 404] 12 queued".
    const std::string& StatusText() const { return statusText_; }
    const std::string& FailureDetail() const { return detail_; }

private:
    // The reason of a failed request for the status line; empty on success.
    std::string Deliver(const Settings& settings, bool& stop);

    // The queue, read from disk when positions are first used.
    PositionQueue& Queue();

    PositionServices services_;
    std::unique_ptr<PositionQueue> queue_;
    int offeredIndex_ = -1;
    int64_t totalSent_ = 0;
    int64_t retryAfter_ = 0;  // automatic runs wait until then after a failure
    std::string stoppedUrl_;  // the URL a 4xx came from; sending paused for it
    std::string statusText_;
    std::string detail_;
    bool running_ = false;
};

}  // namespace trakomer::upload
