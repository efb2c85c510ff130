#pragma once
// A descriptor that a waiting poll() can be woken through from another
// thread (an eventfd).

namespace trakomer {

class WakeEvent {
public:
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    bool Valid() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    // Makes the descriptor readable until Clear.
    void Signal();
    void Clear();

private:
    int fd_ = -1;
};

}  // namespace trakomer
