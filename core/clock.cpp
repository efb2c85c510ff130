#include "core/clock.h"

#include <chrono>
#include <ctime>

namespace trakomer {

int64_t SystemClock::MonotonicMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t SystemClock::UnixSeconds() const {
    return static_cast<int64_t>(std::time(nullptr));
}

int64_t SystemClock::LocalOffsetSeconds() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_gmtoff;
}

}  // namespace trakomer
