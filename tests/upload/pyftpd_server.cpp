#include "tests/upload/pyftpd_server.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>

namespace trakomer::upload::testing {

namespace {

// Serves the home folder for one user and prints the port it listens on.
// With "tls" it demands explicit TLS on both connections, with a throwaway
// self-signed certificate for 127.0.0.1 whose SHA-256 fingerprint follows
// the port.
const std::string kServerScript = std::string(kSelfSignedCertificatePy) + R"PY(
import logging, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer
logging.basicConfig(level=logging.CRITICAL)
handler, fingerprint = FTPHandler, ""
if sys.argv[4] == "tls":
    pem, fingerprint = self_signed_certificate()
    handler = TLS_FTPHandler
    handler.certfile = pem.name
    handler.tls_control_required = True
    handler.tls_data_required = True
authorizer = DummyAuthorizer()
authorizer.add_user(sys.argv[1], sys.argv[2], sys.argv[3], perm="elradfmw")
handler.authorizer = authorizer
handler.auth_failed_timeout = 0
server = FTPServer(("127.0.0.1", 0), handler)
print(server.address[1], fingerprint, flush=True)
server.serve_forever()
)PY";

}  // namespace

std::filesystem::path MakeTempFolder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

PyFtpServer::PyFtpServer(const std::string& user, const std::string& password, bool tls)
    : home_(MakeTempFolder("trakomer-ftpd-")) {
    if (home_.empty()) return;
    std::istringstream line(process_.Start(
        kServerScript.c_str(), {user, password, home_.string(), tls ? "tls" : "plain"}));
    line >> port_ >> fingerprint_;
}

PyFtpServer::~PyFtpServer() {
    process_.Stop();
    std::error_code ignored;
    if (!home_.empty()) std::filesystem::remove_all(home_, ignored);
}

std::string PyFtpServer::Contents(const std::string& name) const {
    return ReadWholeFile(home_ / name);
}

}  // namespace trakomer::upload::testing
