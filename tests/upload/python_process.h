#pragma once
// A test server written in Python: started with the system Python, it
// prints one line once it listens (the port first); stopped on Stop or
// destruction.

#include <sys/types.h>

#include <string>
#include <vector>

namespace trakomer::upload::testing {

// Python that defines self_signed_certificate(): makes a throwaway key and
// certificate for 127.0.0.1 and returns the open PEM file holding both and
// the certificate's SHA-256 fingerprint in hex.
extern const char* const kSelfSignedCertificatePy;

class PythonProcess {
public:
    PythonProcess() = default;
    ~PythonProcess() { Stop(); }
    PythonProcess(const PythonProcess&) = delete;
    PythonProcess& operator=(const PythonProcess&) = delete;

    // Runs the script with the arguments; returns the line it printed
    // (empty when it did not start within ten seconds).
    std::string Start(const char* script, const std::vector<std::string>& arguments);
    void Stop();

private:
    pid_t pid_ = -1;
};

}  // namespace trakomer::upload::testing
