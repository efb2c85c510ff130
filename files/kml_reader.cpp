#include "files/kml_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "files/kml_text.h"
#include "files/trk_file.h"
#include "files/zip_archive.h"
#include "platform/file_io.h"

namespace trakomer {
namespace {

// Larger documents are read up to here (a full track is far below it).
constexpr std::size_t kMaxKmlBytes = 64u << 20;
constexpr std::size_t kMaxLineLength = 255;
constexpr std::size_t kMaxWordLength = 127;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Reads the text as a file is read by lines of limited length, or word by
// word, from a shared position.
class TextCursor {
public:
    explicit TextCursor(const std::string& text) : text_(text) {}
    bool AtEnd() const { return pos_ >= text_.size(); }
    void Seek(std::size_t pos) { pos_ = pos < text_.size() ? pos : text_.size(); }

    // The next line including its line feed, at most `limit` characters (a
    // longer line comes in pieces).
    std::string_view Line(std::size_t limit) {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && pos_ - start < limit) {
            if (text_[pos_++] == '\n') break;
        }
        return std::string_view(text_).substr(start, pos_ - start);
    }

    // The next whitespace-separated word, at most `limit` characters (a
    // longer word comes in pieces); empty at the end.
    std::string_view Word(std::size_t limit) {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsSpace(text_[pos_]) && pos_ - start < limit) ++pos_;
        return std::string_view(text_).substr(start, pos_ - start);
    }

private:
    const std::string& text_;
    std::size_t pos_ = 0;
};

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

bool ValidPosition(double longitude, double latitude) {
    return std::isfinite(longitude) && std::isfinite(latitude) && std::fabs(longitude) <= 180 &&
           std::fabs(latitude) <= 90;
}

// The numbers of a text, separated by commas, blanks or line breaks.
std::vector<double> Numbers(std::string_view text, std::size_t wanted) {
    std::vector<double> numbers;
    std::size_t pos = 0;
    while (numbers.size() < wanted && pos < text.size()) {
        const std::size_t start = text.find_first_not_of(", \t\r\n", pos);
        if (start == std::string_view::npos) break;
        std::size_t end = text.find_first_of(", \t\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string piece(text.substr(start, end - start));
        char* stop = nullptr;
        const double value = std::strtod(piece.c_str(), &stop);
        if (stop != piece.c_str()) numbers.push_back(value);
        pos = end;
    }
    return numbers;
}

std::string NameOnLine(std::string_view line) {
    const std::size_t open = line.find("<name>");
    const std::size_t start = open + 6;
    const std::size_t close = line.find("</name>", start);
    return std::string(line.substr(start, close - start));
}

// A name whose closing tag is not on its line: the file's next word up to
// its first '<'.
std::string NameFromNextWord(TextCursor& cursor) {
    const std::string_view word = cursor.Word(kMaxLineLength);
    return std::string(word.substr(0, word.find('<')));
}

struct PlacemarkReader {
    std::vector<Waypoint> read;
    Waypoint current;
    bool inPlacemark = false;
    bool inCoordinates = false;

    // Returns false when reading should stop.
    bool Line(std::string_view line, TextCursor& cursor) {
        if (Contains(line, "<Placemark>")) {
            inPlacemark = true;
            inCoordinates = false;
            current = Waypoint{};
        }
        if (inPlacemark && Contains(line, "<name>")) {
            const std::string name =
                Contains(line, "</name>") ? NameOnLine(line) : NameFromNextWord(cursor);
            current.name = CutWaypointName(UnescapeKmlText(name));
        }
        if (inPlacemark && Contains(line, "<coordinates>")) {
            inCoordinates = true;
            line = line.substr(line.find("<coordinates>") + 13);
        }
        if (inPlacemark && inCoordinates) Coordinates(line);
        if (Contains(line, "</Placemark>")) {
            if (static_cast<int>(read.size()) >= kMaxWaypointsRead) return false;
            read.push_back(current);
            inPlacemark = inCoordinates = false;
        }
        return true;
    }

    void Coordinates(std::string_view line) {
        const std::vector<double> numbers = Numbers(line.substr(0, line.find("</coordinates>")), 2);
        if (numbers.size() < 2) return;
        if (ValidPosition(numbers[0], numbers[1])) {
            current.longitude = numbers[0];
            current.latitude = numbers[1];
        }
        inCoordinates = false;
    }
};

// A word that starts with "lon,lat,alt" into a point (whatever follows the
// third number is ignored); false if the word does not start so.
bool ParseTriple(std::string_view word, TrackPoint& point) {
    const std::string text(word);
    double lon = 0, lat = 0, alt = 0;
    const int n = std::sscanf(text.c_str(), "%lf,%lf,%lf", &lon, &lat, &alt);
    if (n < 3 || !ValidPosition(lon, lat) || !std::isfinite(alt) || std::fabs(alt) > 1e7) {
        return false;
    }
    point.longitude = lon;
    point.latitude = lat;
    point.altitude = static_cast<float>(alt);
    return true;
}

}  // namespace

int ParseWaypointsKml(const std::string& text, WaypointTable& waypoints) {
    TextCursor cursor(text);
    PlacemarkReader reader;
    while (!cursor.AtEnd() && reader.Line(cursor.Line(kMaxLineLength), cursor)) {
    }
    const int count = static_cast<int>(reader.read.size());
    if (count == 0) return 0;
    for (int i = 0; i < count; ++i) waypoints.entries[i] = reader.read[i];
    waypoints.waypointCount = count;
    return count;
}

bool ParseTrackKml(const std::string& text, Track& track) {
    // Our own documents put time and distance markers, each with a one-point
    // <coordinates>, before the track line: the line's coordinates win.
    TextCursor cursor(text);
    const std::size_t line = text.find("<LineString>");
    if (line != std::string::npos) cursor.Seek(line);
    std::string_view word;
    do {
        word = cursor.Word(kMaxWordLength);
        if (word.empty()) return false;
    } while (!Contains(word, "<coordinates>"));
    word = word.substr(word.find("<coordinates>") + 13);

    int count = 0;
    while (count < kTrackCapacity) {
        const bool last = Contains(word, "</coordinates>");
        const std::string_view numbers = word.substr(0, word.find("</coordinates>"));
        TrackPoint point;  // a KML position has no time: none is carried over
        if (!numbers.empty() && ParseTriple(numbers, point)) track.points[count++] = point;
        if (last) break;
        word = cursor.Word(kMaxWordLength);
        if (word.empty()) break;
    }
    track.loadedCount = count;
    return true;
}

ReadStatus ReadWaypointsKml(const std::string& path, WaypointTable& waypoints) {
    std::string text;
    if (!ReadFileBytes(path, kMaxKmlBytes, text)) return ReadStatus::CannotOpen;
    ParseWaypointsKml(text, waypoints);
    return ReadStatus::Ok;
}

ReadStatus ReadWaypointsKmz(const std::string& path, WaypointTable& waypoints, Dialogs& dialogs) {
    std::string text;
    const ReadStatus status = ReadZippedDocument(path, kMaxKmlBytes, text, dialogs);
    if (status != ReadStatus::Ok) return status;
    ParseWaypointsKml(text, waypoints);
    return ReadStatus::Ok;
}

ReadStatus ReadTrackKml(const std::string& path, Track& track) {
    std::string text;
    if (!ReadFileBytes(path, kMaxKmlBytes, text)) return ReadStatus::CannotOpen;
    ParseTrackKml(text, track);
    return ReadStatus::Ok;
}

}  // namespace trakomer
