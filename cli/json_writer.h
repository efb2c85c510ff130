#pragma once
// A small writer of compact JSON text, for the headless tool's outputs.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trakomer {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view key);

    JsonWriter& String(std::string_view value);
    JsonWriter& Char(char value);  // a one-character string
    JsonWriter& Number(double value);
    JsonWriter& Integer(int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    // Key followed by a value, for the common case.
    template <typename T>
    JsonWriter& Field(std::string_view key, T value);

    const std::string& Text() const { return text_; }

private:
    void BeforeValue();
    std::string text_;
    std::vector<bool> needComma_;  // one entry per open object or array
    bool afterKey_ = false;
};

template <>
inline JsonWriter& JsonWriter::Field(std::string_view key, double value) {
    return Key(key).Number(value);
}
template <>
inline JsonWriter& JsonWriter::Field(std::string_view key, int64_t value) {
    return Key(key).Integer(value);
}
template <>
inline JsonWriter& JsonWriter::Field(std::string_view key, int value) {
    return Key(key).Integer(value);
}
template <>
inline JsonWriter& JsonWriter::Field(std::string_view key, unsigned value) {
    return Key(key).Integer(value);
}
template <>
inline JsonWriter& JsonWriter::Field(std::string_view key, bool value) {
    return Key(key).Bool(value);
}
template <>
inline JsonWriter& JsonWriter::Field(std::string_view key, const char* value) {
    return Key(key).String(value);
}
template <>
inline JsonWriter& JsonWriter::Field(std::string_view key, std::string_view value) {
    return Key(key).String(value);
}
template <>
inline JsonWriter& JsonWriter::Field(std::string_view key, std::string value) {
    return Key(key).String(value);
}
template <>
inline JsonWriter& JsonWriter::Field(std::string_view key, char value) {
    return Key(key).Char(value);
}

// Escapes text as the contents of a JSON string (without the quotes).
std::string JsonEscape(std::string_view text);

}  // namespace trakomer
