#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/ftp/FtpListParser.h"

// The pieces every LIST family is read with: fields that remember where they lie in the line,
// numbers that never overflow, sizes in the many forms servers print, and the one place a
// listed name is checked.
namespace tovan::ftp_list {

struct Field {
    std::string_view text;
    std::size_t begin = 0;
    std::size_t end = 0;
};
using Fields = std::vector<Field>;

// What one line gave. `read` tells a line the parser understood (an item, a refused name, or
// a line with nothing to catalog such as "total 12") from one it could not read at all.
struct LineResult {
    bool read = false;
    std::optional<FtpListItem> item;
    std::string_view rejected_name;
};

inline LineResult unread() {
    return {};
}
inline LineResult nothing_to_catalog() {
    return {true, std::nullopt, {}};
}

// The item under the name, or nothing for "." and "..", or a refusal for a name with "/" or
// a NUL; an empty name leaves the line unread.
LineResult item_named(FtpListItem item, std::string_view name);

char ascii_lower(char c);
bool equal_ignoring_case(std::string_view a, std::string_view b);
bool starts_with_ignoring_case(std::string_view text, std::string_view prefix);
inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
inline bool is_blank(char c) {
    return c == ' ' || c == '\t';
}
bool all_digits(std::string_view text);

// Digits only, no sign, no overflow.
std::optional<std::uint64_t> parse_number(std::string_view digits);
std::optional<int> parse_in_range(std::string_view digits, int low, int high);
// "1234", "9,730" with thousands separators, or "33.5k", "2M", "12KB" in units of 1024.
std::optional<std::uint64_t> parse_size(std::string_view text);

Fields split_fields(std::string_view line);
std::string_view rest_after(std::string_view line, std::size_t position);
// The text from the field on, to the end of the line.
std::string_view rest_from(std::string_view line, const Fields& fields, std::size_t index);

}  // namespace tovan::ftp_list
