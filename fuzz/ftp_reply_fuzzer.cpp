// FTP replies as the client reads them from its control connection: a
// loopback server sends the input and hangs up.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "upload/ftp_client.h"

namespace {

// A listening socket on 127.0.0.1 for the whole run; its port in `port`.
int Listener(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(fd, 4) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::abort();
    }
    port = ntohs(address.sin_port);
    return fd;
}

void Serve(int listener, const uint8_t* data, size_t size) {
    const int fd = accept(listener, nullptr, nullptr);
    if (fd < 0) return;
    size_t done = 0;
    while (done < size) {
        const ssize_t n = send(fd, data + done, size - done, MSG_NOSIGNAL);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int port = 0;
    static const int listener = Listener(port);
    std::thread server(Serve, listener, data, size);
    trakomer::upload::FtpClient client;
    client.SetTimeoutMs(5000);
    // The greeting, then every further reply the server sent.
    if (client.Connect("127.0.0.1", port)) {
        for (int i = 0; i < 256 && client.IsConnected(); ++i) client.ReadReply();
    }
    server.join();
    return 0;
}
