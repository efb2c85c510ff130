// trakomer-cli nmea-dump: feeds a log through the parser as it arrives and
// prints the resulting fix.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/commands.h"
#include "cli/fix_json.h"
#include "gps/nmea_parser.h"

namespace trakomer::cli {
namespace {

// Prints one JSON line after every dispatched sentence.
class EachSentencePrinter : public SentenceObserver {
public:
    void OnSentence(const GpsFix& fix, SentenceKind kind) override {
        JsonWriter json;
        json.BeginObject()
            .Field("n", unsigned{fix.sentenceCount})
            .Field("address", std::string_view(fix.command, strnlen(fix.command, kCommandSize)));
        json.Key("fix");
        WriteGroupJson(json, fix, kind);
        json.EndObject();
        std::fwrite(json.Text().data(), 1, json.Text().size(), stdout);
        std::fputc('\n', stdout);
    }
};

}  // namespace

int RunNmeaDump(const Args& args) {
    bool each = false;
    std::string path;
    for (const std::string& a : args) {
        if (a == "--each") {
            each = true;
        } else if (a == "--help") {
            std::printf("Usage: trakomer-cli nmea-dump [--each] FILE\n");
            return kExitOk;
        } else if (a.size() > 1 && a[0] == '-') {
            return UsageError("nmea-dump: unknown option '" + a + "'");
        } else if (path.empty()) {
            path = a;
        } else {
            return UsageError("nmea-dump: more than one FILE given");
        }
    }
    if (path.empty()) return UsageError("nmea-dump: no FILE given");

    const int fd = path == "-" ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "trakomer-cli: cannot open '%s': %s\n", path.c_str(),
                     std::strerror(errno));
        return kExitFailure;
    }
    GpsFix fix;
    EachSentencePrinter printer;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            std::fprintf(stderr, "trakomer-cli: cannot read '%s': %s\n", path.c_str(),
                         std::strerror(errno));
            if (fd != STDIN_FILENO) close(fd);
            return kExitFailure;
        }
        ProcessBytes(fix, buffer, static_cast<size_t>(n), each ? &printer : nullptr);
    }
    if (fd != STDIN_FILENO) close(fd);

    JsonWriter json;
    WriteFixJson(json, fix);
    std::printf("%s\n", json.Text().c_str());
    return kExitOk;
}

}  // namespace trakomer::cli
