// OpenSSL opened when the first encrypted connection is made, not when the
// program starts (see platform/lazy_library.h): libssl and libcrypto cost
// every start of the recorder and the command-line tool about 2 ms, and
// most runs never upload. Without the library the context cannot be made
// and the connection fails as a failed handshake.

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include "platform/lazy_library.h"

static_assert(OPENSSL_VERSION_MAJOR == 3, "the library opened is libssl.so.3");

namespace {

// libssl, which brings libcrypto with it (dlsym finds both through it).
TRAKOMER_LAZY_LIBRARY(Ssl, "libssl.so.3")

}  // namespace

extern "C" {

TRAKOMER_LAZY_FUNCTION(Ssl(), const SSL_METHOD*, TLS_client_method, (), (), nullptr)
TRAKOMER_LAZY_FUNCTION(Ssl(), SSL_CTX*, SSL_CTX_new, (const SSL_METHOD* method), (method),
                       nullptr)
TRAKOMER_LAZY_FUNCTION(Ssl(), int, SSL_CTX_up_ref, (SSL_CTX * context), (context), 0)
TRAKOMER_LAZY_FUNCTION(Ssl(), void, SSL_CTX_free, (SSL_CTX * context), (context), void())
TRAKOMER_LAZY_FUNCTION(Ssl(), long, SSL_CTX_ctrl,
                       (SSL_CTX * context, int command, long number, void* pointer),
                       (context, command, number, pointer), 0)
TRAKOMER_LAZY_FUNCTION(Ssl(), int, SSL_CTX_set_default_verify_paths, (SSL_CTX * context),
                       (context), 0)
TRAKOMER_LAZY_FUNCTION(Ssl(), void, SSL_CTX_set_verify,
                       (SSL_CTX * context, int mode, SSL_verify_cb callback),
                       (context, mode, callback), void())
TRAKOMER_LAZY_FUNCTION(Ssl(), SSL*, SSL_new, (SSL_CTX * context), (context), nullptr)
TRAKOMER_LAZY_FUNCTION(Ssl(), void, SSL_free, (SSL * ssl), (ssl), void())
TRAKOMER_LAZY_FUNCTION(Ssl(), int, SSL_set_fd, (SSL * ssl, int fd), (ssl, fd), 0)
TRAKOMER_LAZY_FUNCTION(Ssl(), X509_VERIFY_PARAM*, SSL_get0_param, (SSL * ssl), (ssl), nullptr)
TRAKOMER_LAZY_FUNCTION(Ssl(), long, SSL_ctrl, (SSL * ssl, int command, long number, void* pointer),
                       (ssl, command, number, pointer), 0)
TRAKOMER_LAZY_FUNCTION(Ssl(), int, SSL_set1_host, (SSL * ssl, const char* host), (ssl, host), 0)
TRAKOMER_LAZY_FUNCTION(Ssl(), SSL_SESSION*, SSL_get1_session, (SSL * ssl), (ssl), nullptr)
TRAKOMER_LAZY_FUNCTION(Ssl(), int, SSL_set_session, (SSL * ssl, SSL_SESSION* session),
                       (ssl, session), 0)
TRAKOMER_LAZY_FUNCTION(Ssl(), void, SSL_SESSION_free, (SSL_SESSION * session), (session), void())
TRAKOMER_LAZY_FUNCTION(Ssl(), int, SSL_session_reused, (const SSL* ssl), (ssl), 0)
TRAKOMER_LAZY_FUNCTION(Ssl(), int, SSL_connect, (SSL * ssl), (ssl), -1)
TRAKOMER_LAZY_FUNCTION(Ssl(), int, SSL_read, (SSL * ssl, void* bytes, int size),
                       (ssl, bytes, size), -1)
TRAKOMER_LAZY_FUNCTION(Ssl(), int, SSL_write, (SSL * ssl, const void* bytes, int size),
                       (ssl, bytes, size), -1)
TRAKOMER_LAZY_FUNCTION(Ssl(), int, SSL_shutdown, (SSL * ssl), (ssl), -1)
TRAKOMER_LAZY_FUNCTION(Ssl(), int, SSL_get_error, (const SSL* ssl, int result), (ssl, result),
                       SSL_ERROR_SSL)
TRAKOMER_LAZY_FUNCTION(Ssl(), X509*, SSL_get1_peer_certificate, (const SSL* ssl), (ssl),
                       nullptr)
TRAKOMER_LAZY_FUNCTION(Ssl(), long, SSL_get_verify_result, (const SSL* ssl), (ssl),
                       X509_V_ERR_UNSPECIFIED)
TRAKOMER_LAZY_FUNCTION(Ssl(), int, X509_VERIFY_PARAM_set1_ip_asc,
                       (X509_VERIFY_PARAM * param, const char* address), (param, address), 0)
TRAKOMER_LAZY_FUNCTION(Ssl(), int, X509_digest,
                       (const X509* certificate, const EVP_MD* type, unsigned char* digest,
                        unsigned int* size),
                       (certificate, type, digest, size), 0)
TRAKOMER_LAZY_FUNCTION(Ssl(), void, X509_free, (X509 * certificate), (certificate), void())
TRAKOMER_LAZY_FUNCTION(Ssl(), const char*, X509_verify_cert_error_string, (long code), (code),
                       "OpenSSL is not installed")
TRAKOMER_LAZY_FUNCTION(Ssl(), const EVP_MD*, EVP_sha256, (), (), nullptr)
TRAKOMER_LAZY_FUNCTION(Ssl(), void, ERR_clear_error, (), (), void())
TRAKOMER_LAZY_FUNCTION(Ssl(), unsigned long, ERR_peek_last_error, (), (), 0)
TRAKOMER_LAZY_FUNCTION(Ssl(), void, ERR_error_string_n,
                       (unsigned long code, char* text, size_t size), (code, text, size), void())

}  // extern "C"
