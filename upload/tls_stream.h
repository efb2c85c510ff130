#pragma once
// TLS over one of the upload's non-blocking sockets (OpenSSL). The socket
// stays owned by the caller; every wait is bounded by the time-out and keeps
// running the pump, like the plain socket steps.
//
// The peer is trusted when its certificate chain verifies against the system
// store for the host name (or address), or, when a pin is given, only when
// the SHA-256 fingerprint of its certificate equals the pin. A pinned
// certificate may be self-signed.

#include <memory>
#include <string>

#include "upload/socket_io.h"

namespace trakomer::upload {

enum class TlsFailure {
    None,
    Refused,    // the server does not offer TLS
    Handshake,  // the handshake failed or timed out
    Untrusted,  // the certificate does not verify against the system store
    Pin,        // the certificate's fingerprint differs from the pin
    BadPin,     // the pin setting is not "sha256:" and 64 hex digits
};

// The short reason shown in the upload status line ("Tls untrusted").
std::string TlsFailureReason(TlsFailure failure);

// The 32 bytes of a "sha256:<64 hex>" pin (colons between the hex pairs are
// allowed); empty when the text is not such a pin.
std::string ParseCertificatePin(const std::string& text);

struct TlsPeer {
    std::string host;  // checked against the certificate when there is no pin
    std::string pin;   // mFtpCertificate text; empty: verify against the system store
};

class TlsStream {
public:
    TlsStream();
    ~TlsStream();
    TlsStream(const TlsStream&) = delete;
    TlsStream& operator=(const TlsStream&) = delete;

    // Runs the client handshake on the connected socket fd. `resume`, when
    // given, offers that stream's session again (FTP data connections).
    TlsFailure Start(int fd, const TlsPeer& peer, int timeoutMs, const Pump& pump,
                     const TlsStream* resume = nullptr);
    bool SendAll(const char* data, size_t size, int timeoutMs, const Pump& pump);
    ReadResult ReadByte(char& byte, int timeoutMs, const Pump& pump);
    // Sends the closing alert; the socket stays open.
    void Shutdown(int timeoutMs, const Pump& pump);
    // Why the last Start failed, for people ("self-signed certificate; the
    // server's certificate is sha256:...").
    const std::string& Detail() const { return detail_; }
    bool Reused() const;

private:
    struct State;
    // Waits as the last TLS call's result asks; false on error or time-out.
    bool WaitAfter(int result, int timeoutMs, const Pump& pump);
    TlsFailure CheckPeer(const TlsPeer& peer);

    std::unique_ptr<State> state_;
    int fd_ = -1;
    std::string detail_;
};

}  // namespace trakomer::upload
