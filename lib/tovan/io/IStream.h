#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tovan/io/Stream.h"

namespace tovan::io {

// The reading side of a binary stream. Each read returns true when all its bytes
// came; a read past the end sets eof and fail, which raises under the program's
// exception mask, so record readers can abandon a damaged file by letting the
// failure pass.
//
// Lengths and counts are checked against the bytes left before anything is
// allocated: a damaged length of four billion fails as a read past the end
// instead of asking for gigabytes.
class IStream : public virtual Stream {
public:
    bool read_byte(std::uint8_t& value) { return read_bytes(&value, 1); }
    bool read_bool(bool& value);
    bool read_u32(std::uint32_t& value);
    bool read_i32(std::int32_t& value);
    bool read_u64(std::uint64_t& value);
    bool read_i64(std::int64_t& value);
    bool read_bytes(void* data, std::size_t count);
    // Empties text first. A stored length of 0xFFFFFFFF reads as an empty text.
    bool read_text(std::string& text);
    bool read_texts(std::vector<std::string>& texts);
    // Reads the count of a sequence whose records take at least min_record_size
    // bytes each, and fails as a read past the end when the rest of the stream
    // cannot hold that many.
    bool read_count(std::uint32_t& count, std::size_t min_record_size);
    // Fails as a read past the end unless `needed` bytes are left.
    bool ensure_left(std::uint64_t needed);

    // The bytes left to read, -1 when the buffer cannot tell.
    std::int64_t bytes_left() const;

    std::uint32_t header_length() const { return header_length_; }

protected:
    IStream() = default;

    // Reads the header unless the stream is raw; a stream without one is read from
    // its first byte.
    void read_header_();

private:
    void fail_short_read_();

    std::uint32_t header_length_ = 0;
};

}  // namespace tovan::io
