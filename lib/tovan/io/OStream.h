#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tovan/io/Stream.h"

namespace tovan::io {

// The writing side of a binary stream: little-endian primitives, no padding.
// Each write returns true when all its bytes went to the buffer; a short write
// sets eof and fail, which raises under the program's exception mask.
class OStream : public virtual Stream {
public:
    static constexpr char Magic[] = "tovan::io::Stream";
    static constexpr std::size_t MagicSize = sizeof Magic - 1;
    static constexpr std::size_t HeaderSize = MagicSize + 4;

    bool write_byte(std::uint8_t value) { return write_bytes(&value, 1); }
    bool write_bool(bool value) { return write_byte(value ? 1 : 0); }
    bool write_u32(std::uint32_t value);
    bool write_i32(std::int32_t value) { return write_u32(static_cast<std::uint32_t>(value)); }
    bool write_u64(std::uint64_t value);
    bool write_i64(std::int64_t value) { return write_u64(static_cast<std::uint64_t>(value)); }
    bool write_bytes(const void* data, std::size_t count);
    // A 32-bit byte count, then the bytes, no terminator.
    bool write_text(std::string_view text);
    // A 32-bit count, then the texts.
    bool write_texts(const std::vector<std::string>& texts);

    std::uint32_t header_length() const { return header_length_; }

protected:
    OStream() = default;

    // Writes the header unless the stream is raw.
    void write_header_();

private:
    std::uint32_t header_length_ = 0;
};

}  // namespace tovan::io
