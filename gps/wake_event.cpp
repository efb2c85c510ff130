#include "gps/wake_event.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace trakomer {

WakeEvent::WakeEvent() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

WakeEvent::~WakeEvent() {
    if (fd_ >= 0) close(fd_);
}

void WakeEvent::Signal() {
    const uint64_t one = 1;
    // Only fails when the counter would overflow, which leaves it readable.
    [[maybe_unused]] const ssize_t n = write(fd_, &one, sizeof one);
}

void WakeEvent::Clear() {
    uint64_t value = 0;
    [[maybe_unused]] const ssize_t n = read(fd_, &value, sizeof value);
}

}  // namespace trakomer
