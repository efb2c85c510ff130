#include "upload/position_queue.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/file_io.h"

namespace trakomer::upload {

namespace {

// Writes text to path durably: a synced temporary file renamed over it.
bool ReplaceFile(const std::string& path, const std::string& text) {
    return WriteFileAtomically(path, text, S_IRUSR | S_IWUSR);
}

bool AppendSynced(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool written =
        ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
        ::fdatasync(fd) == 0;
    ::close(fd);
    return written;
}

}  // namespace

std::string PositionLine(const Position& p) {
    char text[192];
    std::snprintf(text, sizeof text, "%lld %.7f %.7f %.3f %.1f %.1f %.1f %d %d\n",
                  static_cast<long long>(p.time), p.latitude, p.longitude, p.speedKnots, p.bearing,
                  p.altitude, p.hdop, p.battery, p.hundredths);
    return text;
}

bool ParsePositionLine(const std::string& line, Position& p) {
    std::istringstream in(line);
    long long time = 0;
    if (!(in >> time >> p.latitude >> p.longitude >> p.speedKnots >> p.bearing >> p.altitude >>
          p.hdop >> p.battery >> p.hundredths))
        return false;
    p.time = time;
    std::string extra;
    return !(in >> extra);
}

PositionQueue::PositionQueue(std::string folder) : folder_(std::move(folder)) {
    if (folder_.empty()) return;  // nowhere to keep it: nothing is queued
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    Load();
}

void PositionQueue::Load() {
    int64_t sentGeneration = -1, sent = 0;
    std::ifstream(SentPath()) >> sentGeneration >> sent;
    std::ifstream in(QueuePath(), std::ios::binary);
    std::string line;
    bool endsWithNewline = true;
    if (std::getline(in, line) && line.size() > 1 && line[0] == '#') {
        std::istringstream(line.substr(1)) >> generation_ >> lastStamp_;
    } else if (!ReplaceFile(QueuePath(), "#0 0\n")) {
        return;  // nothing to read, and appends will fail too
    } else {
        in.setstate(std::ios::eofbit);
    }
    if (sentGeneration != generation_) sent = 0;
    while (std::getline(in, line)) {
        endsWithNewline = !in.eof();
        Position position;
        const bool parsed = ParsePositionLine(line, position);
        if (parsed) lastStamp_ = std::max(lastStamp_, position.Stamp());
        if (parsed && lines_ >= sent) entries_.push_back({position, lines_});
        ++lines_;
    }
    // A line cut short by a crash is closed, so the next one starts afresh.
    if (!endsWithNewline) AppendSynced(QueuePath(), "\n");
}

bool PositionQueue::Append(const Position& position) {
    if (folder_.empty() || !AppendSynced(QueuePath(), PositionLine(position))) return false;
    entries_.push_back({position, lines_++});
    lastStamp_ = std::max(lastStamp_, position.Stamp());
    return true;
}

bool PositionQueue::PopFront() {
    if (entries_.empty()) return false;
    const int64_t done = entries_.front().line + 1;
    if (entries_.size() > 1) {
        const std::string count = std::to_string(generation_) + " " + std::to_string(done) + "\n";
        if (!ReplaceFile(SentPath(), count)) return false;
        entries_.pop_front();
        return true;
    }
    // All delivered: a new, empty generation voids the count.
    const std::string head =
        "#" + std::to_string(generation_ + 1) + " " + std::to_string(lastStamp_) + "\n";
    if (!ReplaceFile(QueuePath(), head)) return false;
    ++generation_;
    entries_.clear();
    lines_ = 0;
    return true;
}

}  // namespace trakomer::upload
