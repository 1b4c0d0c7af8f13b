#include "tovan/Utf8Case.h"

#include "tovan/Utf8.h"

namespace tovan {
namespace {

// A run of upper-case letters whose lower-case forms follow at a fixed distance.
struct ShiftRange {
    char32_t first_upper;
    char32_t last_upper;
    char32_t distance;
};

constexpr ShiftRange ShiftRanges[] = {
    {0x0041, 0x005A, 32}, {0x00C0, 0x00D6, 32}, {0x00D8, 0x00DE, 32}, {0x0388, 0x038A, 37},
    {0x038E, 0x038F, 63}, {0x0391, 0x03A1, 32}, {0x03A3, 0x03AB, 32}, {0x0400, 0x040F, 80},
    {0x0410, 0x042F, 32}, {0x0531, 0x0556, 48},
};

// A run where upper and lower case alternate: upper on even (or odd) code points.
struct PairRange {
    char32_t first;
    char32_t last;
};

constexpr PairRange EvenUpperPairs[] = {
    {0x0100, 0x012F}, {0x0132, 0x0137}, {0x014A, 0x0177}, {0x0460, 0x0481},
    {0x048A, 0x04BF}, {0x04D0, 0x052F}, {0x1E00, 0x1E95}, {0x1EA0, 0x1EFF},
};

constexpr PairRange OddUpperPairs[] = {
    {0x0139, 0x0148},
    {0x0179, 0x017E},
    {0x04C1, 0x04CE},
};

struct Single {
    char32_t upper;
    char32_t lower;
};

constexpr Single Singles[] = {
    {0x0178, 0x00FF}, {0x0386, 0x03AC}, {0x038C, 0x03CC}, {0x0130, 0x0069}, {0x0049, 0x0131},
};

char32_t pair_partner(char32_t c, bool even_upper, bool to_lower) {
    const bool is_upper = ((c % 2) == 0) == even_upper;
    if (is_upper && to_lower)
        return c + 1;
    if (!is_upper && !to_lower)
        return c - 1;
    return c;
}

char32_t map_code_point(char32_t c, bool to_lower) {
    if (c < 0x80) {
        if (to_lower && c >= 'A' && c <= 'Z')
            return c + 32;
        if (!to_lower && c >= 'a' && c <= 'z')
            return c - 32;
        return c;
    }
    for (const ShiftRange& r : ShiftRanges) {
        if (to_lower && c >= r.first_upper && c <= r.last_upper)
            return c + r.distance;
        if (!to_lower && c >= r.first_upper + r.distance && c <= r.last_upper + r.distance)
            return c - r.distance;
    }
    for (const PairRange& r : EvenUpperPairs)
        if (c >= r.first && c <= r.last)
            return pair_partner(c, true, to_lower);
    for (const PairRange& r : OddUpperPairs)
        if (c >= r.first && c <= r.last)
            return pair_partner(c, false, to_lower);
    // Final sigma has no upper form of its own.
    if (!to_lower && c == 0x03C2)
        return 0x03A3;
    for (const Single& s : Singles) {
        if (to_lower && c == s.upper && s.upper >= 0x80)
            return s.lower;
        if (!to_lower && c == s.lower && s.lower >= 0x80)
            return s.upper;
    }
    return c;
}

std::string map_text(std::string_view text, bool to_lower) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x80) {
            // Paths are mostly ASCII, and the change filter folds one per marked
            // item: a run of ASCII is copied at once and mapped in place.
            std::size_t end = at + 1;
            while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80) ++end;
            const std::size_t start = out.size();
            out.append(text.substr(at, end - at));
            const char first = to_lower ? 'A' : 'a';
            for (std::size_t i = start; i < out.size(); ++i)
                if (out[i] >= first && out[i] < first + 26)
                    out[i] ^= 0x20;
            at = end;
            continue;
        }
        char32_t c;
        const std::size_t length = decode_utf8(text, at, c);
        if (length == 0) {
            out += text[at++];
            continue;
        }
        append_utf8(out, map_code_point(c, to_lower));
        at += length;
    }
    return out;
}

}  // namespace

char32_t to_lower_code_point(char32_t c) {
    return map_code_point(c, true);
}
char32_t to_upper_code_point(char32_t c) {
    return map_code_point(c, false);
}

std::string to_lower_utf8(std::string_view text) {
    return map_text(text, true);
}
std::string to_upper_utf8(std::string_view text) {
    return map_text(text, false);
}

}  // namespace tovan
