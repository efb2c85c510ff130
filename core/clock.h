#pragma once
// Injectable time: the wall clock in the program, a manual clock in tests
// and in the virtual-clock replay.

#include <cstdint>

namespace trakomer {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a monotonic scale (for periods and time-outs).
    virtual int64_t MonotonicMs() const = 0;
    // Seconds since 1970 (UTC), for names and greetings.
    virtual int64_t UnixSeconds() const = 0;
    // Local time offset from UTC in seconds at the current instant.
    virtual int64_t LocalOffsetSeconds() const = 0;
};

class SystemClock : public Clock {
public:
    int64_t MonotonicMs() const override;
    int64_t UnixSeconds() const override;
    int64_t LocalOffsetSeconds() const override;
};

// A clock that moves only when told to.
class ManualClock : public Clock {
public:
    explicit ManualClock(int64_t unixSeconds = 0, int64_t localOffset = 0)
        : unixMs_(unixSeconds * 1000), offset_(localOffset) {}
    int64_t MonotonicMs() const override { return unixMs_; }
    int64_t UnixSeconds() const override { return unixMs_ / 1000; }
    int64_t LocalOffsetSeconds() const override { return offset_; }
    void AdvanceMs(int64_t ms) { unixMs_ += ms; }
    void SetUnixSeconds(int64_t s) { unixMs_ = s * 1000; }

private:
    int64_t unixMs_;
    int64_t offset_;
};

}  // namespace trakomer
