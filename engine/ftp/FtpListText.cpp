#include "engine/ftp/FtpListText.h"

#include <limits>

namespace tovan::ftp_list {
namespace {

constexpr std::uint64_t Largest = std::numeric_limits<std::uint64_t>::max();

// "9,730" or "1,234,567": groups of three after the first.
std::optional<std::uint64_t> parse_grouped(std::string_view text) {
    const std::size_t first = text.find(',');
    if (first == 0 || first > 3 || (text.size() - first) % 4 != 0)
        return std::nullopt;
    std::string digits(text.substr(0, first));
    for (std::size_t at = first; at < text.size(); at += 4) {
        if (text[at] != ',')
            return std::nullopt;
        digits += text.substr(at + 1, 3);
    }
    return parse_number(digits);
}

int unit_power(char unit) {
    switch (ascii_lower(unit)) {
        case 'k':
            return 1;
        case 'm':
            return 2;
        case 'g':
            return 3;
        case 't':
            return 4;
        default:
            return 0;
    }
}

// "33.5k", "2M", "12KB": the fraction is kept to the byte the unit allows.
std::optional<std::uint64_t> parse_with_unit(std::string_view text) {
    if (text.size() > 1 && (text.back() == 'B' || text.back() == 'b'))
        text.remove_suffix(1);
    if (text.size() < 2 || unit_power(text.back()) == 0)
        return std::nullopt;
    std::uint64_t unit = 1;
    for (int i = 0; i < unit_power(text.back()); ++i) unit *= 1024;
    text.remove_suffix(1);
    const std::size_t dot = text.find('.');
    const auto whole = parse_number(text.substr(0, dot));
    if (!whole || *whole > Largest / unit)
        return std::nullopt;
    if (dot == std::string_view::npos)
        return *whole * unit;
    const std::string_view fraction = text.substr(dot + 1);
    if (fraction.empty() || fraction.size() > 3 || !all_digits(fraction))
        return std::nullopt;
    std::uint64_t scale = 1;
    for (std::size_t i = 0; i < fraction.size(); ++i) scale *= 10;
    const std::uint64_t part = *parse_number(fraction) * unit / scale;
    if (part > Largest - *whole * unit)
        return std::nullopt;
    return *whole * unit + part;
}

}  // namespace

LineResult item_named(FtpListItem item, std::string_view name) {
    if (name.empty())
        return unread();
    if (name == "." || name == "..")
        return nothing_to_catalog();
    if (name.find('/') != std::string_view::npos || name.find('\0') != std::string_view::npos)
        return {true, std::nullopt, name};
    item.name = std::string(name);
    return {true, std::move(item), {}};
}

char ascii_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ascii_lower(a[i]) != ascii_lower(b[i]))
            return false;
    return true;
}

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           equal_ignoring_case(text.substr(0, prefix.size()), prefix);
}

bool all_digits(std::string_view text) {
    for (char c : text)
        if (!is_digit(c))
            return false;
    return !text.empty();
}

std::optional<std::uint64_t> parse_number(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        if (!is_digit(c))
            return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (Largest - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::optional<int> parse_in_range(std::string_view digits, int low, int high) {
    if (digits.empty() || digits.size() > 4)
        return std::nullopt;
    const auto value = parse_number(digits);
    if (!value || *value < static_cast<std::uint64_t>(low) ||
        *value > static_cast<std::uint64_t>(high))
        return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<std::uint64_t> parse_size(std::string_view text) {
    if (text.empty() || !is_digit(text.front()))
        return std::nullopt;
    if (const auto plain = parse_number(text))
        return plain;
    if (text.find(',') != std::string_view::npos)
        return parse_grouped(text);
    return parse_with_unit(text);
}

Fields split_fields(std::string_view line) {
    Fields fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_blank(line[i])) ++i;
        const std::size_t begin = i;
        while (i < line.size() && !is_blank(line[i])) ++i;
        if (i > begin)
            fields.push_back({line.substr(begin, i - begin), begin, i});
    }
    return fields;
}

std::string_view rest_after(std::string_view line, std::size_t position) {
    return position < line.size() ? line.substr(position) : std::string_view();
}

std::string_view rest_from(std::string_view line, const Fields& fields, std::size_t index) {
    return index < fields.size() ? line.substr(fields[index].begin) : std::string_view();
}

}  // namespace tovan::ftp_list
