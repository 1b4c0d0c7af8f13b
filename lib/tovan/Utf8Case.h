#pragma once

#include <string>
#include <string_view>

namespace tovan {

// Case folding of UTF-8 text. Latin, Greek, Cyrillic and Armenian letters fold,
// not only A to Z, so masks and searches treat "Ä" and "ä" alike. Bytes that are
// not valid UTF-8 pass through unchanged, so no name is ever broken by folding.
std::string to_lower_utf8(std::string_view text);
std::string to_upper_utf8(std::string_view text);

char32_t to_lower_code_point(char32_t c);
char32_t to_upper_code_point(char32_t c);

}  // namespace tovan
