#pragma once
// A tracking server for the tests: decodes OsmAnd-protocol positions from
// the query of a GET or the form of a POST, as tracking servers do, answers
// 404 for a device it does not know, and records each position it accepted
// as one line "id lat lon timestamp speed bearing altitude hdop batt".
// Restartable on the same port.

#include <filesystem>
#include <string>
#include <vector>

#include "tests/upload/python_process.h"

namespace trakomer::upload::testing {

class PositionServer {
public:
    // tls: HTTPS with a throwaway self-signed certificate.
    explicit PositionServer(std::string knownDevice, bool tls = false);
    ~PositionServer();

    // Starts on the port it had before (a free one the first time).
    bool Start();
    void Stop() { process_.Stop(); }
    int Port() const { return port_; }
    std::string Url() const {
        return (tls_ ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port_) + "/";
    }
    std::vector<std::string> Received() const;

private:
    std::string knownDevice_;
    bool tls_ = false;
    std::filesystem::path log_;
    PythonProcess process_;
    int port_ = 0;
};

}  // namespace trakomer::upload::testing
