#pragma once
// The network connection an upload goes through. The program asks for the
// status before every step of an upload and, when the user wants the
// connection made automatically, requests it and waits.

#include <cstdint>
#include <vector>

namespace trakomer::upload {

constexpr uint32_t kNetConnected = 0x10;
constexpr uint32_t kNetDisconnected = 0x20;
// No connection management was attempted.
constexpr uint32_t kNetUnmanaged = 0;

constexpr int kConnectTimeoutMs = 20000;

class ConnectionManager {
public:
    virtual ~ConnectionManager() = default;
    // kNetConnected or kNetDisconnected, right now.
    virtual uint32_t Status() = 0;
    // Asks for the network to be brought up and waits until it is connected,
    // has failed, or timeoutMs has passed. Returns the status then.
    virtual uint32_t Request(int timeoutMs) = 0;
};

// A connection manager for tests: answers status queries from a script (the
// last entry repeats once the script is used up) and counts requests.
class ScriptedConnection : public ConnectionManager {
public:
    explicit ScriptedConnection(std::vector<uint32_t> statuses,
                                uint32_t afterRequest = kNetConnected)
        : statuses_(std::move(statuses)), afterRequest_(afterRequest) {}

    uint32_t Status() override {
        if (statuses_.empty()) return kNetConnected;
        const uint32_t status = statuses_[next_ < statuses_.size() ? next_ : statuses_.size() - 1];
        ++next_;
        return status;
    }
    uint32_t Request(int) override {
        ++requests_;
        return afterRequest_;
    }

    int Requests() const { return requests_; }
    size_t StatusQueries() const { return next_; }

private:
    std::vector<uint32_t> statuses_;
    uint32_t afterRequest_;
    size_t next_ = 0;
    int requests_ = 0;
};

}  // namespace trakomer::upload
