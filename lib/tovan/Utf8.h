#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tovan {

// Decodes the UTF-8 sequence at text[at]. Returns its length in bytes, or 0 when
// the bytes there are not a valid sequence (then code_point is left alone).
std::size_t decode_utf8(std::string_view text, std::size_t at, char32_t& code_point);

void append_utf8(std::string& out, char32_t code_point);

// The length of the character at text[at]: a whole valid sequence or one byte.
inline std::size_t utf8_char_length(std::string_view text, std::size_t at) {
    // Wildcards step through long paths one character at a time; most are ASCII.
    if (static_cast<unsigned char>(text[at]) < 0x80)
        return 1;
    char32_t ignored;
    const std::size_t length = decode_utf8(text, at, ignored);
    return length != 0 ? length : 1;
}

}  // namespace tovan
