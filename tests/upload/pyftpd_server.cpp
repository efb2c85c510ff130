#include "tests/upload/pyftpd_server.h"

#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace trakomer::upload::testing {

namespace {

// Serves the home folder for one user and prints the port it listens on.
constexpr const char* kServerScript = R"PY(
import logging, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
logging.basicConfig(level=logging.CRITICAL)
authorizer = DummyAuthorizer()
authorizer.add_user(sys.argv[1], sys.argv[2], sys.argv[3], perm="elradfmw")
FTPHandler.authorizer = authorizer
FTPHandler.auth_failed_timeout = 0
server = FTPServer(("127.0.0.1", 0), FTPHandler)
print(server.address[1], flush=True)
server.serve_forever()
)PY";

constexpr int kStartTimeoutMs = 10000;

// Reads the port line the script prints; 0 when none comes in time.
int ReadPort(int fd) {
    std::string text;
    char byte = 0;
    pollfd entry{fd, POLLIN, 0};
    while (::poll(&entry, 1, kStartTimeoutMs) > 0 && ::read(fd, &byte, 1) == 1) {
        if (byte == '\n') return std::atoi(text.c_str());
        text += byte;
    }
    return 0;
}

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

PyFtpServer::PyFtpServer(const std::string& user, const std::string& password)
    : home_(MakeTempFolder("trakomer-ftpd-")) {
    int pipeFds[2];
    if (home_.empty() || ::pipe(pipeFds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execl("/usr/bin/python3", "python3", "-c", kServerScript, user.c_str(), password.c_str(),
                home_.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    if (pid_ > 0) port_ = ReadPort(pipeFds[0]);
    ::close(pipeFds[0]);
}

PyFtpServer::~PyFtpServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    if (!home_.empty()) std::filesystem::remove_all(home_, ignored);
}

std::string PyFtpServer::Contents(const std::string& name) const {
    return ReadWholeFile(home_ / name);
}

}  // namespace trakomer::upload::testing
