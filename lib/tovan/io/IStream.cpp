#include "tovan/io/IStream.h"

#include <cstring>

#include "tovan/TextualErrorInfo.h"
#include "tovan/io/BasicFileBuf.h"
#include "tovan/io/OStream.h"

namespace tovan::io {
namespace {

constexpr std::uint32_t EmptyText = 0xFFFFFFFF;

}  // namespace

bool IStream::read_bool(bool& value) {
    std::uint8_t byte = 0;
    const bool ok = read_byte(byte);
    value = byte != 0;
    return ok;
}

bool IStream::read_u32(std::uint32_t& value) {
    unsigned char bytes[4];
    if (!read_bytes(bytes, sizeof bytes))
        return false;
    value = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
            static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return true;
}

bool IStream::read_i32(std::int32_t& value) {
    std::uint32_t raw = 0;
    if (!read_u32(raw))
        return false;
    value = static_cast<std::int32_t>(raw);
    return true;
}

bool IStream::read_u64(std::uint64_t& value) {
    unsigned char bytes[8];
    if (!read_bytes(bytes, sizeof bytes))
        return false;
    value = 0;
    for (int at = 7; at >= 0; --at) value = value << 8 | bytes[at];
    return true;
}

bool IStream::read_i64(std::int64_t& value) {
    std::uint64_t raw = 0;
    if (!read_u64(raw))
        return false;
    value = static_cast<std::int64_t>(raw);
    return true;
}

bool IStream::read_bytes(void* data, std::size_t count) {
    if (!check_())
        return false;
    const auto size = static_cast<std::streamsize>(count);
    if (rdbuf()->sgetn(static_cast<char*>(data), size) == size)
        return true;
    fail_short_read_();
    return false;
}

bool IStream::read_text(std::string& text) {
    text.clear();
    std::uint32_t length = 0;
    if (!read_u32(length))
        return false;
    if (length == EmptyText || length == 0)
        return true;
    if (!ensure_left(length))
        return false;
    text.resize(length);
    return read_bytes(text.data(), length);
}

bool IStream::read_texts(std::vector<std::string>& texts) {
    texts.clear();
    std::uint32_t count = 0;
    if (!read_count(count, sizeof(std::uint32_t)))
        return false;
    for (std::uint32_t at = 0; at < count; ++at) {
        std::string text;
        if (!read_text(text))
            return false;
        texts.push_back(std::move(text));
    }
    return true;
}

bool IStream::read_count(std::uint32_t& count, std::size_t min_record_size) {
    count = 0;
    std::uint32_t stored = 0;
    if (!read_u32(stored))
        return false;
    if (!ensure_left(static_cast<std::uint64_t>(stored) * min_record_size))
        return false;
    count = stored;
    return true;
}

std::int64_t IStream::bytes_left() const {
    if (file_buffer() != nullptr)
        return file_buffer()->bytes_left();
    return rdbuf() != nullptr ? rdbuf()->in_avail() : -1;
}

bool IStream::ensure_left(std::uint64_t needed) {
    // The common case, a short text inside the buffered part, costs no system call.
    if (rdbuf() != nullptr &&
        needed <= static_cast<std::uint64_t>(std::max<std::streamsize>(rdbuf()->in_avail(), 0)))
        return true;
    const std::int64_t left = bytes_left();
    if (left < 0 || needed <= static_cast<std::uint64_t>(left))
        return true;
    fail_short_read_();
    return false;
}

void IStream::fail_short_read_() {
    if (buffer_error() != nullptr) {
        fail_transfer_();
        return;
    }
    TextualErrorInfo cut("unexpected end of file: the file is damaged or incomplete");
    fail_transfer_(&cut);
}

void IStream::read_header_() {
    if ((options() & Stream::Raw) != 0)
        return;
    const std::streamoff before = rdbuf()->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    if (before < 0)
        set_options(options() & ~Positions);
    char magic[OStream::MagicSize];
    if (!read_bytes(magic, 4))
        return;
    const std::streamsize rest = OStream::MagicSize - 4;
    if (std::memcmp(magic, OStream::Magic, 4) == 0 && rdbuf()->sgetn(magic + 4, rest) == rest &&
        std::memcmp(magic, OStream::Magic, OStream::MagicSize) == 0) {
        std::uint32_t file_options = 0;
        if (!read_u32(file_options))
            return;
        set_options((file_options & ~NotFromFile) | (options() & ~Positions));
        const std::streamoff after = rdbuf()->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
        header_length_ = before >= 0 && after >= 0
                             ? static_cast<std::uint32_t>(after - before)
                             : static_cast<std::uint32_t>(OStream::HeaderSize);
        return;
    }
    // No header: a file of an older version, read from its first byte.
    if (before < 0 || rdbuf()->pubseekpos(before, std::ios_base::in) != before) {
        TextualErrorInfo legacy("Failed to open legacy stream.");
        setstate(Fail, &legacy);
        return;
    }
    set_options(options() & ~Positions);
    header_length_ = 0;
}

}  // namespace tovan::io
