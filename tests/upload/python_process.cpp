#include "tests/upload/python_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace trakomer::upload::testing {

const char* const kSelfSignedCertificatePy = R"PY(
def self_signed_certificate():
    import datetime, ipaddress, tempfile
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
    return pem, cert.fingerprint(hashes.SHA256()).hex()
)PY";

namespace {

constexpr int kStartTimeoutMs = 10000;

// Reads the line the script prints once it listens; empty when none comes in time.
std::string ReadStartLine(int fd) {
    std::string text;
    char byte = 0;
    pollfd entry{fd, POLLIN, 0};
    while (::poll(&entry, 1, kStartTimeoutMs) > 0 && ::read(fd, &byte, 1) == 1) {
        if (byte == '\n') return text;
        text += byte;
    }
    return {};
}

}  // namespace

std::string PythonProcess::Start(const char* script, const std::vector<std::string>& arguments) {
    Stop();
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    std::vector<const char*> argv = {"python3", "-c", script};
    for (const std::string& a : arguments) argv.push_back(a.c_str());
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execv("/usr/bin/python3", const_cast<char* const*>(argv.data()));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    const std::string line = pid_ > 0 ? ReadStartLine(pipeFds[0]) : std::string();
    ::close(pipeFds[0]);
    return line;
}

void PythonProcess::Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

}  // namespace trakomer::upload::testing
