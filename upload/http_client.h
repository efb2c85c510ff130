#pragma once
// One HTTP/1.1 request per connection, over plain TCP or TLS (checked
// against the system store), on the upload's pumped non-blocking sockets.
// Only the status code of the answer matters to the callers.

#include <string>

#include "upload/socket_io.h"
#include "upload/tls_stream.h"

namespace trakomer::upload {

struct HttpUrl {
    bool valid = false;
    bool tls = false;
    std::string host;
    int port = 80;
    std::string target = "/";  // path and query
};

// "http://host[:port][/path][?query]" or "https://..."; valid false otherwise.
HttpUrl ParseHttpUrl(const std::string& url);

struct HttpAnswer {
    int status = 0;  // the status code; 0 when no answer came
    TlsFailure tls = TlsFailure::None;
    std::string detail;  // why no answer came, for people
};

// Sends GET target, or POST target with a form body, and reads the answer's
// head. Every wait is bounded by timeoutMs.
HttpAnswer HttpRequest(const HttpUrl& url, bool post, const std::string& formBody, int timeoutMs,
                       const Pump& pump);

}  // namespace trakomer::upload
