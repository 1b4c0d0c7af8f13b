#pragma once

#include <string_view>

namespace tovan {

// The text without the spaces, tabs and line breaks around it, as typed or pasted.
inline std::string_view without_blanks_around(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace tovan
