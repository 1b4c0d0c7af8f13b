#include "tovan/io/OStream.h"

#include <limits>

#include "tovan/TextualErrorInfo.h"

namespace tovan::io {

bool OStream::write_u32(std::uint32_t value) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return write_bytes(bytes, sizeof bytes);
}

bool OStream::write_u64(std::uint64_t value) {
    unsigned char bytes[8];
    for (int at = 0; at < 8; ++at) bytes[at] = static_cast<unsigned char>(value >> (8 * at));
    return write_bytes(bytes, sizeof bytes);
}

bool OStream::write_bytes(const void* data, std::size_t count) {
    if (!check_())
        return false;
    const auto size = static_cast<std::streamsize>(count);
    if (rdbuf()->sputn(static_cast<const char*>(data), size) == size)
        return true;
    fail_transfer_();
    return false;
}

bool OStream::write_text(std::string_view text) {
    if (text.size() >= std::numeric_limits<std::uint32_t>::max()) {
        // The length field cannot hold it, and 0xFFFFFFFF would read back as empty.
        TextualErrorInfo too_long("text too long to store");
        setstate(Fail, &too_long);
        return false;
    }
    return write_u32(static_cast<std::uint32_t>(text.size())) &&
           write_bytes(text.data(), text.size());
}

bool OStream::write_texts(const std::vector<std::string>& texts) {
    if (!write_u32(static_cast<std::uint32_t>(texts.size())))
        return false;
    for (const std::string& text : texts)
        if (!write_text(text))
            return false;
    return true;
}

void OStream::write_header_() {
    if ((options() & Raw) != 0)
        return;
    const std::streamoff before = rdbuf()->pubseekoff(0, std::ios_base::cur, std::ios_base::out);
    if (before < 0)
        set_options(options() & ~Positions);
    if (!write_bytes(Magic, MagicSize) || !write_u32(options()))
        return;
    const std::streamoff after =
        before < 0 ? -1
                   : std::streamoff(rdbuf()->pubseekoff(0, std::ios_base::cur, std::ios_base::out));
    header_length_ = after >= 0 ? static_cast<std::uint32_t>(after - before) : HeaderSize;
}

}  // namespace tovan::io
