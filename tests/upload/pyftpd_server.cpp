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
constexpr const char* kServerScript = R"PY(
import logging, sys, tempfile
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer
logging.basicConfig(level=logging.CRITICAL)
handler, fingerprint = FTPHandler, ""
if sys.argv[4] == "tls":
    import datetime, ipaddress
    from cryptography import x509
    from cryptography.x509.oid import NameOID
    from cryptography.hazmat.primitives import hashes, serialization
    from cryptography.hazmat.primitives.asymmetric import ec
    key = ec.generate_private_key(ec.SECP256R1())
    name = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, "127.0.0.1")])
    now = datetime.datetime.utcnow()
    cert = (x509.CertificateBuilder().subject_name(name).issuer_name(name)
            .public_key(key.public_key()).serial_number(x509.random_serial_number())
            .not_valid_before(now - datetime.timedelta(days=1))
            .not_valid_after(now + datetime.timedelta(days=1))
            .add_extension(x509.SubjectAlternativeName(
                [x509.IPAddress(ipaddress.ip_address("127.0.0.1"))]), False)
            .sign(key, hashes.SHA256()))
    pem = tempfile.NamedTemporaryFile(suffix=".pem")
    pem.write(cert.public_bytes(serialization.Encoding.PEM))
    pem.write(key.private_bytes(serialization.Encoding.PEM,
                                serialization.PrivateFormat.PKCS8,
                                serialization.NoEncryption()))
    pem.flush()
    handler = TLS_FTPHandler
    handler.certfile = pem.name
    handler.tls_control_required = True
    handler.tls_data_required = True
    fingerprint = cert.fingerprint(hashes.SHA256()).hex()
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
    std::istringstream line(
        process_.Start(kServerScript, {user, password, home_.string(), tls ? "tls" : "plain"}));
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
