#pragma once
// Positions waiting to be sent, kept on disk so that none is lost when the
// server or the network is away, or the program stops or crashes.
//
// positions.queue starts with a line "#G S": its generation and the stamp
// of the newest position queued before it; then it holds one
// position a line, appended and synced as each is queued; positions.sent
// holds "G n": the server has the first n positions of generation G. It is
// replaced atomically after each success. Once everything is sent the queue
// file is replaced by an empty one of the next generation, which makes any
// older count void, so a crash at any point neither loses nor repeats.

#include <cstdint>
#include <deque>
#include <string>

namespace trakomer::upload {

struct Position {
    int64_t time = 0;  // UTC seconds since 1970
    double latitude = 0;
    double longitude = 0;
    double speedKnots = 0;
    double bearing = 0;   // degrees clockwise from north
    double altitude = 0;  // metres
    double hdop = 0;      // 0: unknown
    int battery = -1;     // percent; -1: unknown
    int hundredths = 0;   // of the time's second; tells apart points of one second

    int64_t Stamp() const { return time * 100 + hundredths; }
};

// One queue line and back; false for a line that is not one (a line cut
// short by a crash).
std::string PositionLine(const Position& position);
bool ParsePositionLine(const std::string& line, Position& position);

class PositionQueue {
public:
    // Loads what an earlier run left in folder (created when missing).
    explicit PositionQueue(std::string folder);

    bool Append(const Position& position);
    bool Empty() const { return entries_.empty(); }
    size_t Size() const { return entries_.size(); }
    const Position& Front() const { return entries_.front().position; }
    // The stamp of the newest position ever queued here (sent or not); 0 for none.
    int64_t LastStamp() const { return lastStamp_; }
    // Marks the front position as delivered, on disk first.
    bool PopFront();

private:
    struct Entry {
        Position position;
        int64_t line = 0;  // its line number in the queue file
    };
    std::string QueuePath() const { return folder_ + "/positions.queue"; }
    std::string SentPath() const { return folder_ + "/positions.sent"; }
    void Load();

    std::string folder_;
    std::deque<Entry> entries_;
    int64_t lines_ = 0;  // position lines in the queue file
    int64_t generation_ = 0;
    int64_t lastStamp_ = 0;
};

}  // namespace trakomer::upload
