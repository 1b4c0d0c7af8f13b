#pragma once

#include <string_view>

namespace tovan {

// Spaces, tabs and line breaks around a text that was typed or pasted.
inline bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

inline std::string_view without_blanks_around(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace tovan
