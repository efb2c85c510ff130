#include "upload/tls_stream.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>

#include <cctype>
#include <chrono>

namespace trakomer::upload {

struct TlsStream::State {
    SSL_CTX* context = nullptr;
    SSL* ssl = nullptr;
    ~State() {
        if (ssl != nullptr) SSL_free(ssl);
        if (context != nullptr) SSL_CTX_free(context);
    }
};

namespace {

using SteadyClock = std::chrono::steady_clock;

int MsLeft(SteadyClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string HexText(const unsigned char* bytes, unsigned size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

bool IsAddress(const std::string& host) {
    unsigned char buffer[sizeof(in6_addr)];
    return ::inet_pton(AF_INET, host.c_str(), buffer) == 1 ||
           ::inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

}  // namespace

std::string TlsFailureReason(TlsFailure failure) {
    switch (failure) {
        case TlsFailure::None:
            return {};
        case TlsFailure::Refused:
            return "Tls refused";
        case TlsFailure::Handshake:
            return "Tls handshake";
        case TlsFailure::Untrusted:
            return "Tls untrusted";
        case TlsFailure::Pin:
            return "Tls pin";
        case TlsFailure::BadPin:
            return "Tls bad pin";
    }
    return "Tls";
}

std::string ParseCertificatePin(const std::string& text) {
    const std::string prefix = "sha256:";
    if (text.size() < prefix.size()) return {};
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return {};
    }
    std::string bytes;
    int high = -1;
    for (size_t i = prefix.size(); i < text.size(); ++i) {
        if (text[i] == ':' && high < 0 && !bytes.empty() && text[i - 1] != ':') continue;
        const int value = HexValue(text[i]);
        if (value < 0) return {};
        if (high < 0) {
            high = value;
        } else {
            bytes += static_cast<char>(high * 16 + value);
            high = -1;
        }
    }
    return high < 0 && bytes.size() == 32 ? bytes : std::string();
}

TlsStream::TlsStream() : state_(std::make_unique<State>()) {}
TlsStream::~TlsStream() = default;

bool TlsStream::WaitAfter(int result, int timeoutMs, const Pump& pump) {
    const int error = SSL_get_error(state_->ssl, result);
    short events = 0;
    if (error == SSL_ERROR_WANT_READ) events = POLLIN;
    if (error == SSL_ERROR_WANT_WRITE) events = POLLOUT;
    if (events == 0) return false;
    return WaitForSocket(fd_, events, timeoutMs, pump) == WaitResult::Ready;
}

TlsFailure TlsStream::Start(int fd, const TlsPeer& peer, int timeoutMs, const Pump& pump,
                            const TlsStream* resume) {
    fd_ = fd;
    detail_.clear();
    if (!peer.pin.empty() && ParseCertificatePin(peer.pin).empty()) {
        detail_ = "the certificate setting is not sha256: followed by 64 hex digits";
        return TlsFailure::BadPin;
    }
    State& s = *state_;
    if (resume != nullptr && resume->state_->context != nullptr) {
        s.context = resume->state_->context;
        SSL_CTX_up_ref(s.context);
    } else {
        s.context = SSL_CTX_new(TLS_client_method());
        if (s.context == nullptr) return TlsFailure::Handshake;
        SSL_CTX_set_min_proto_version(s.context, TLS1_2_VERSION);
        SSL_CTX_set_default_verify_paths(s.context);
        // The chain is checked after the handshake so that a pin can accept
        // a self-signed certificate and a refusal can say why.
        SSL_CTX_set_verify(s.context, SSL_VERIFY_NONE, nullptr);
    }
    s.ssl = SSL_new(s.context);
    if (s.ssl == nullptr || SSL_set_fd(s.ssl, fd) != 1) return TlsFailure::Handshake;
    if (IsAddress(peer.host)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(s.ssl), peer.host.c_str());
    } else if (!peer.host.empty()) {
        SSL_set_tlsext_host_name(s.ssl, peer.host.c_str());
        SSL_set1_host(s.ssl, peer.host.c_str());
    }
    if (resume != nullptr && resume->state_->ssl != nullptr) {
        if (SSL_SESSION* session = SSL_get1_session(resume->state_->ssl)) {
            SSL_set_session(s.ssl, session);
            SSL_SESSION_free(session);
        }
    }
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        ERR_clear_error();
        const int result = SSL_connect(s.ssl);
        if (result == 1) break;
        if (!WaitAfter(result, MsLeft(deadline), pump)) {
            char text[256] = "handshake failed";
            if (const unsigned long code = ERR_peek_last_error())
                ERR_error_string_n(code, text, sizeof text);
            detail_ = text;
            return TlsFailure::Handshake;
        }
    }
    return CheckPeer(peer);
}

TlsFailure TlsStream::CheckPeer(const TlsPeer& peer) {
    X509* certificate = SSL_get1_peer_certificate(state_->ssl);
    if (certificate == nullptr) {
        detail_ = "the server sent no certificate";
        return TlsFailure::Untrusted;
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned size = 0;
    X509_digest(certificate, EVP_sha256(), digest, &size);
    X509_free(certificate);
    const std::string fingerprint = "sha256:" + HexText(digest, size);
    if (!peer.pin.empty()) {
        if (ParseCertificatePin(peer.pin) == std::string(reinterpret_cast<char*>(digest), size))
            return TlsFailure::None;
        detail_ = "the server's certificate is " + fingerprint + ", not the pinned one";
        return TlsFailure::Pin;
    }
    const long verdict = SSL_get_verify_result(state_->ssl);
    if (verdict == X509_V_OK) return TlsFailure::None;
    detail_ = std::string(X509_verify_cert_error_string(verdict)) +
              "; the server's certificate is " + fingerprint;
    return TlsFailure::Untrusted;
}

bool TlsStream::SendAll(const char* data, size_t size, int timeoutMs, const Pump& pump) {
    if (state_->ssl == nullptr) return false;
    while (size > 0) {
        ERR_clear_error();
        const int chunk = static_cast<int>(std::min<size_t>(size, 16384));
        const int sent = SSL_write(state_->ssl, data, chunk);
        if (sent > 0) {
            data += sent;
            size -= static_cast<size_t>(sent);
        } else if (!WaitAfter(sent, timeoutMs, pump)) {
            return false;
        }
    }
    return true;
}

ReadResult TlsStream::ReadByte(char& byte, int timeoutMs, const Pump& pump) {
    if (state_->ssl == nullptr) return ReadResult::Failed;
    for (;;) {
        ERR_clear_error();
        const int got = SSL_read(state_->ssl, &byte, 1);
        if (got == 1) return ReadResult::Byte;
        const int error = SSL_get_error(state_->ssl, got);
        if (error == SSL_ERROR_ZERO_RETURN) return ReadResult::Closed;
        if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE)
            return ReadResult::Failed;
        const short events = error == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT;
        if (const ReadResult waited = WaitToReadAgain(fd_, events, timeoutMs, pump);
            waited != ReadResult::Byte)
            return waited;
    }
}

void TlsStream::Shutdown(int timeoutMs, const Pump& pump) {
    if (state_->ssl == nullptr) return;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    // Our closing alert is enough; the peer's answer is not waited for.
    for (;;) {
        ERR_clear_error();
        const int result = SSL_shutdown(state_->ssl);
        if (result >= 0 || !WaitAfter(result, MsLeft(deadline), pump)) return;
    }
}

bool TlsStream::Reused() const {
    return state_->ssl != nullptr && SSL_session_reused(state_->ssl) == 1;
}

}  // namespace trakomer::upload
