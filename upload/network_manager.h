#pragma once
// The connection manager backed by NetworkManager on the D-Bus system bus.
// Connected means NetworkManager reports a connected state: local, site or
// global connectivity (an FTP server may be on the local network). A machine
// without NetworkManager (no system bus, or no such service on it) has its
// network managed by other means and counts as connected.

#include <string>

#include "upload/connection_manager.h"
#include "upload/socket_io.h"

struct sd_bus;

namespace trakomer::upload {

class NetworkManagerConnection : public ConnectionManager {
public:
    // busAddress: a D-Bus address to use instead of the system bus (tests).
    explicit NetworkManagerConnection(const std::string& busAddress = "", Pump pump = {});
    ~NetworkManagerConnection() override;
    NetworkManagerConnection(const NetworkManagerConnection&) = delete;
    NetworkManagerConnection& operator=(const NetworkManagerConnection&) = delete;

    uint32_t Status() override;
    // Asks NetworkManager to enable networking, then polls the status.
    uint32_t Request(int timeoutMs) override;

private:
    sd_bus* bus_ = nullptr;
    Pump pump_;
};

}  // namespace trakomer::upload
