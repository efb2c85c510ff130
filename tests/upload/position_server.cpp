#include "tests/upload/position_server.h"

#include <cstdlib>
#include <fstream>

#include "tests/upload/pyftpd_server.h"
#include "tests/upload/python_process.h"

namespace trakomer::upload::testing {

namespace {

const std::string kServerScript = std::string(kSelfSignedCertificatePy) + R"PY(
import ssl, sys, urllib.parse
from http.server import HTTPServer, BaseHTTPRequestHandler
port, log, known = int(sys.argv[1]), sys.argv[2], sys.argv[3]
FIELDS = ("id", "lat", "lon", "timestamp", "speed", "bearing", "altitude", "hdop", "batt")
class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    def answer(self, form):
        values = urllib.parse.parse_qs(form)
        get = lambda key: values.get(key, values.get("deviceid" if key == "id" else key, ["-"]))[0]
        code = 200 if get("id") == known else 404
        if code == 200:
            with open(log, "a") as out:
                out.write(" ".join(get(k) for k in FIELDS) + "\n")
        self.send_response(code)
        self.send_header("Content-Length", "0")
        self.end_headers()
    def do_GET(self):
        self.answer(urllib.parse.urlsplit(self.path).query)
    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", 0))).decode()
        self.answer(body + "&" + urllib.parse.urlsplit(self.path).query)
    def log_message(self, *args):
        pass
HTTPServer.allow_reuse_address = True
server = HTTPServer(("127.0.0.1", port), Handler)
if sys.argv[4] == "tls":
    pem, fingerprint = self_signed_certificate()
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(pem.name)
    server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
)PY";

}  // namespace

PositionServer::PositionServer(std::string knownDevice, bool tls)
    : knownDevice_(std::move(knownDevice)),
      tls_(tls),
      log_(MakeTempFolder("trakomer-positions-") / "received") {}

PositionServer::~PositionServer() {
    Stop();
    std::error_code ignored;
    std::filesystem::remove_all(log_.parent_path(), ignored);
}

bool PositionServer::Start() {
    const std::string line = process_.Start(
        kServerScript.c_str(),
        {std::to_string(port_), log_.string(), knownDevice_, tls_ ? "tls" : "plain"});
    const int port = std::atoi(line.c_str());
    if (port > 0) port_ = port;
    return port > 0;
}

std::vector<std::string> PositionServer::Received() const {
    std::vector<std::string> lines;
    std::ifstream in(log_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace trakomer::upload::testing
