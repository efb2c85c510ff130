#pragma once
// The short text that names this machine in upload file names.

#include <string>

namespace trakomer::upload {

// Eight lowercase hex digits of a hash of the machine identifier text.
std::string HashedIdentifier(const std::string& machineId);

// The device identifier: derived from the machine-id file when it holds an
// identifier, else the host name reduced to letters, digits, '-' and '_'
// (else "trakomer"). Stable for the machine and safe in a file name.
std::string DeviceIdentifier(const std::string& machineIdPath = "/etc/machine-id");

}  // namespace trakomer::upload
