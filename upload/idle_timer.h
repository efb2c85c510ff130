#pragma once
// Keeps the machine from suspending while a long operation runs. The power
// module provides the real one; until then resets do nothing.

namespace trakomer::upload {

class IdleTimer {
public:
    virtual ~IdleTimer() = default;
    // Restarts the system's idle count-down.
    virtual void Reset() = 0;
};

class NoIdleTimer : public IdleTimer {
public:
    void Reset() override {}
};

}  // namespace trakomer::upload
