#pragma once
// The one GpsFix shared between the serial reader thread, which feeds it,
// and the user-interface thread, which reads consistent snapshots of it.

#include <cstddef>
#include <mutex>

#include "gps/gps_fix.h"
#include "gps/nmea_parser.h"

namespace trakomer {

class SharedGpsFix {
public:
    SharedGpsFix() = default;
    SharedGpsFix(const SharedGpsFix&) = delete;
    SharedGpsFix& operator=(const SharedGpsFix&) = delete;

    // Parses bytes into the fix (reader thread).
    void Feed(const char* bytes, size_t length, SentenceObserver* observer = nullptr) {
        std::lock_guard lock(mutex_);
        ProcessBytes(fix_, bytes, length, observer);
    }

    // A consistent copy of the whole fix.
    GpsFix Snapshot() const {
        std::lock_guard lock(mutex_);
        return fix_;
    }

    uint32_t SentenceCount() const {
        std::lock_guard lock(mutex_);
        return fix_.sentenceCount;
    }

    void Reset() {
        std::lock_guard lock(mutex_);
        trakomer::Reset(fix_);
    }

    // Runs fn on the fix under the lock (for writers other than Feed).
    template <typename Fn>
    auto With(Fn&& fn) {
        std::lock_guard lock(mutex_);
        return fn(fix_);
    }

private:
    mutable std::mutex mutex_;
    GpsFix fix_;
};

}  // namespace trakomer
