#include "files/kml_reader.h"

#include <algorithm>
#include <charconv>
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

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the plain decimal number the text starts with
// ([+-]digits[.digits][(e|E)[+-]digits], a digit on either side of the
// point), or 0 when it starts with anything else: a hexadecimal number,
// infinity, NaN, a lone sign or point, an exponent without digits.
std::size_t PlainNumberLength(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == start + 1 && text[start] == '0' && i < text.size() && (text[i] | 0x20) == 'x') return 0;
    std::size_t digits = i - start;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fraction = ++i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        digits += i - fraction;
    }
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] | 0x20) == 'e') {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t exponent = j;
        while (j < text.size() && IsDigit(text[j])) ++j;
        if (j == exponent) return 0;
        i = j;
    }
    return i;
}

// Reads a plain decimal number off the front of the text; false (nothing
// taken) for any other start and for values beyond double's range.
bool TakePlainNumber(std::string_view& text, double& value) {
    const std::size_t length = PlainNumberLength(text);
    if (length == 0) return false;
    const char* first = text.data() + (text.front() == '+' ? 1 : 0);
    const char* last = text.data() + length;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return false;
    text.remove_prefix(length);
    return true;
}

// "lon,lat,alt" as three plain decimal numbers, the common form, read
// without the C library's scanner (whatever follows is ignored).
bool PlainTriple(std::string_view text, double (&values)[3]) {
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && (text.empty() || text.front() != ',')) return false;
        if (i > 0) text.remove_prefix(1);
        if (!TakePlainNumber(text, values[i])) return false;
    }
    return true;
}

// A word that starts with "lon,lat,alt" into a point (whatever follows the
// third number is ignored); false if the word does not start so. Words in
// another form (hexadecimal numbers, numbers out of range, ...) are read by
// sscanf, which decides for them as it does for every word.
bool ParseTriple(std::string_view word, TrackPoint& point) {
    double values[3] = {0, 0, 0};
    int n = 3;
    if (!PlainTriple(word, values)) {
        const std::string text(word);
        n = std::sscanf(text.c_str(), "%lf,%lf,%lf", &values[0], &values[1], &values[2]);
    }
    const double lon = values[0], lat = values[1], alt = values[2];
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
