#include "cli/NumberText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string_view>

namespace tovan::cli {
namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

std::string lower(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered;
}

// The factor of a unit: "", "b", "k", "kb", "kib" and so on up to "t".
std::optional<double> unit_factor(std::string_view unit) {
    const std::string lowered = lower(unit);
    if (lowered.empty() || lowered == "b")
        return 1.0;
    const std::string_view prefixes = "kmgt";
    const std::size_t power = prefixes.find(lowered[0]);
    const std::string_view rest = std::string_view(lowered).substr(1);
    if (power == std::string_view::npos || !(rest.empty() || rest == "b" || rest == "ib"))
        return std::nullopt;
    return std::pow(1024.0, static_cast<double>(power + 1));
}

}  // namespace

std::optional<std::uint64_t> NumberText::whole(const std::string& text, std::uint64_t high) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), is_digit))
        return std::nullopt;
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || number > high)
        return std::nullopt;
    return number;
}

std::optional<std::uint64_t> NumberText::size(const std::string& text) {
    const std::size_t number_end = text.find_first_not_of("0123456789.");
    const std::string number = text.substr(0, number_end);
    std::string_view unit = std::string_view(text).substr(std::min(number_end, text.size()));
    while (unit.starts_with(' ')) unit.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    const std::optional<double> factor = unit_factor(unit);
    if (number.empty() || !is_digit(number.front()) || error != std::errc() ||
        end != number.data() + number.size() || !factor)
        return std::nullopt;
    const double bytes = std::round(value * *factor);
    // Below 2^64, so that the cast is defined.
    if (!(bytes < 18446744073709551616.0))
        return std::nullopt;
    return static_cast<std::uint64_t>(bytes);
}

}  // namespace tovan::cli
