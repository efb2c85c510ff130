#pragma once
// A 64-bit digest (FNV-1a) of the values a picture is made from: two
// frames with the same key would show the same pixels, so the second need
// not be drawn.

#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace trakomer {

class ContentKey {
public:
    // Scalars by value (no padding bytes are read).
    template <typename T>
        requires std::is_arithmetic_v<T> || std::is_enum_v<T>
    ContentKey& Add(T value) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (unsigned char byte : bytes) Mix(byte);
        return *this;
    }
    // Text with its length, so that "ab" + "c" differs from "a" + "bc".
    ContentKey& Add(std::string_view text) {
        Add(text.size());
        for (char c : text) Mix(static_cast<unsigned char>(c));
        return *this;
    }
    uint64_t Value() const { return hash_; }

private:
    void Mix(unsigned char byte) {
        hash_ ^= byte;
        hash_ *= 1099511628211ULL;
    }
    uint64_t hash_ = 14695981039346656037ULL;
};

}  // namespace trakomer
