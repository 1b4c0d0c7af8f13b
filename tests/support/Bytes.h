#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tovan::test {

// Builds the bytes of a data file by hand, little-endian, for comparing with
// what the program writes and for feeding it files of older versions.
class Bytes {
public:
    // The stream header every data file starts with.
    static Bytes header() { return Bytes().raw("tovan::io::Stream").u32(2); }

    Bytes& raw(std::string_view bytes) {
        data_ += bytes;
        return *this;
    }
    Bytes& u8(std::uint8_t value) {
        data_ += static_cast<char>(value);
        return *this;
    }
    Bytes& u32(std::uint32_t value) {
        for (int i = 0; i < 4; ++i) u8(static_cast<std::uint8_t>(value >> (8 * i)));
        return *this;
    }
    Bytes& u64(std::uint64_t value) {
        return u32(static_cast<std::uint32_t>(value)).u32(static_cast<std::uint32_t>(value >> 32));
    }
    Bytes& text(std::string_view text) {
        return u32(static_cast<std::uint32_t>(text.size())).raw(text);
    }

    const std::string& str() const { return data_; }
    operator const std::string&() const { return data_; }

private:
    std::string data_;
};

// A 32-bit value as the streams store it, little-endian.
inline std::string le32(std::uint32_t value) {
    return Bytes().u32(value);
}

}  // namespace tovan::test
