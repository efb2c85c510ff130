#pragma once
// A real FTP server for the tests: Debian's pyftpdlib, started with the
// system Python on a free loopback port, one user with a temporary home
// folder. Stopped and cleaned up on destruction.

#include <sys/types.h>

#include <filesystem>
#include <string>

#include "tests/upload/python_process.h"

namespace trakomer::upload::testing {

class PyFtpServer {
public:
    // tls: explicit TLS required, with a fresh self-signed certificate.
    PyFtpServer(const std::string& user, const std::string& password, bool tls = false);
    ~PyFtpServer();
    PyFtpServer(const PyFtpServer&) = delete;
    PyFtpServer& operator=(const PyFtpServer&) = delete;

    bool Running() const { return port_ > 0; }
    int Port() const { return port_; }
    // The SHA-256 fingerprint of the TLS certificate in hex; empty without TLS.
    const std::string& Fingerprint() const { return fingerprint_; }
    // The user's home folder: uploaded files land here.
    const std::filesystem::path& Home() const { return home_; }
    // The bytes of a file in the home folder; empty when it is missing.
    std::string Contents(const std::string& name) const;

private:
    std::filesystem::path home_;
    PythonProcess process_;
    int port_ = 0;
    std::string fingerprint_;
};

// The bytes of a local file; empty when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

// A fresh folder under the system temporary folder.
std::filesystem::path MakeTempFolder(const std::string& prefix);

}  // namespace trakomer::upload::testing
