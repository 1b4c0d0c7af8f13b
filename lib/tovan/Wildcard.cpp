#include "tovan/Wildcard.h"

#include "tovan/Utf8.h"

namespace tovan {
namespace {

// A literal the fast path can look for: a byte search finds it only where the
// walk below could, at a character's start, when it begins with an ASCII byte.
bool is_plain_literal(std::string_view text) {
    return (text.empty() || static_cast<unsigned char>(text.front()) < 0x80) &&
           text.find_first_of("*?") == std::string_view::npos;
}

}  // namespace

bool wildcard_match(std::string_view pattern, std::string_view text) {
    // The usual masks, "*.*", "*.ext" and "*word*", asked of every marked item's
    // name and path: a search for the literal part does in one pass what the
    // general walk below does a character at a time.
    if (!pattern.empty() && pattern.front() == '*') {
        const std::string_view rest = pattern.substr(1);
        if (is_plain_literal(rest))
            return text.ends_with(rest);
        const std::string_view middle = rest.substr(0, rest.size() - 1);
        if (rest.back() == '*' && is_plain_literal(middle))
            return text.find(middle) != std::string_view::npos;
    }
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
