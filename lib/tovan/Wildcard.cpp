#include "tovan/Wildcard.h"

#include "tovan/Utf8.h"

namespace tovan {

bool wildcard_match(std::string_view pattern, std::string_view text) {
    std::size_t p = 0;
    std::size_t t = 0;
    // Where the last "*" was and how much text it has taken so far: on a mismatch
    // the star takes one more character and matching resumes behind it.
    std::size_t star = std::string_view::npos;
    std::size_t star_text = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = ++p;
            star_text = t;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            t += utf8_char_length(text, t);
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::string_view::npos) {
            p = star;
            star_text += utf8_char_length(text, star_text);
            t = star_text;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace tovan
