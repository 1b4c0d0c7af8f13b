#include "engine/ftp/FtpListParser.h"

#include <array>
#include <chrono>
#include <limits>

namespace tovan {
namespace {

using Precision = FtpListItem::Precision;

constexpr std::int64_t SecondsPerDay = 86400;
// Dates without a year are read only while `now` is within about ten thousand years of 1970, so
// that no calendar arithmetic can overflow whatever a caller passes.
constexpr std::int64_t SaneTimeRange = 10000LL * 366 * SecondsPerDay;

// What one line gave: an item, or a refused name to report, or neither (a line to skip).
struct LineResult {
    std::optional<FtpListItem> item;
    std::string_view rejected_name;
};

struct ListedTime {
    std::int64_t time = 0;
    Precision precision = Precision::Seconds;
};

struct Field {
    std::string_view text;
    std::size_t begin = 0;
    std::size_t end = 0;
};

// --- text ----------------------------------------------------------------------------------

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

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// Digits only, no sign, no overflow.
std::optional<std::uint64_t> parse_number(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        if (!is_digit(c))
            return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
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

// The blank-separated fields of a line with where each one lies, so a name can be cut out
// with its own spaces intact.
std::vector<Field> split_fields(std::string_view line) {
    std::vector<Field> fields;
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

// --- names ---------------------------------------------------------------------------------

LineResult item_named(FtpListItem item, std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return {};
    if (name.find('/') != std::string_view::npos || name.find('\0') != std::string_view::npos)
        return {std::nullopt, name};
    item.name = std::string(name);
    return {std::move(item), {}};
}

// --- times ---------------------------------------------------------------------------------

std::optional<std::int64_t> utc_seconds(int year, int month, int day, int hour, int minute,
                                        int second) {
    const std::chrono::year_month_day date{std::chrono::year{year},
                                           std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok())
        return std::nullopt;
    const std::int64_t days = std::chrono::sys_days{date}.time_since_epoch().count();
    return days * SecondsPerDay + hour * 3600 + minute * 60 + second;
}

int utc_year(std::int64_t time) {
    const std::chrono::sys_seconds instant{std::chrono::seconds{time}};
    const std::chrono::year_month_day date{std::chrono::floor<std::chrono::days>(instant)};
    return static_cast<int>(date.year());
}

// A date listed without its year is the latest such date at most a day after now: servers
// drop the year for recent files, and a day covers any time zone the server may be in.
std::optional<std::int64_t> latest_time_by(int month, int day, int hour, int minute,
                                           std::int64_t now) {
    if (now < -SaneTimeRange || now > SaneTimeRange)
        return std::nullopt;
    const std::int64_t limit = now + SecondsPerDay;
    const int newest_year = utc_year(limit);
    // Eight years back reaches a leap year from any year, for "Feb 29".
    for (int year = newest_year; year >= newest_year - 8; --year) {
        const auto time = utc_seconds(year, month, day, hour, minute, 0);
        if (time && *time <= limit)
            return time;
    }
    return std::nullopt;
}

std::optional<int> month_number(std::string_view name) {
    static constexpr std::array<std::string_view, 12> months = {
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    for (std::size_t i = 0; i < months.size(); ++i)
        if (equal_ignoring_case(name, months[i]))
            return static_cast<int>(i) + 1;
    return std::nullopt;
}

struct Clock {
    int hour = 0;
    int minute = 0;
};

// "9:05" or "09:05", 24 hours.
std::optional<Clock> parse_clock(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3)
        return std::nullopt;
    const auto hour = parse_in_range(text.substr(0, colon), 0, 23);
    const auto minute = parse_in_range(text.substr(colon + 1), 0, 59);
    if (!hour || !minute)
        return std::nullopt;
    return Clock{*hour, *minute};
}

// --- Unix ls -l ----------------------------------------------------------------------------

// "drwxr-xr-x", possibly followed by an ACL or security-context mark ("+", "@", ".").
bool is_permissions(std::string_view text) {
    if (text.size() < 10)
        return false;
    for (char c : text.substr(1, 9))
        if (std::string_view("-rwxsStTlL").find(c) == std::string_view::npos)
            return false;
    return true;
}

// "Mar 14 09:12" (recent, to the minute) or "Dec 31 2022" (older, to the day).
std::optional<ListedTime> parse_unix_date(std::string_view month_name, std::string_view day_text,
                                          std::string_view time_or_year, std::int64_t now) {
    const auto month = month_number(month_name);
    const auto day = day_text.size() <= 2 ? parse_in_range(day_text, 1, 31) : std::nullopt;
    if (!month || !day)
        return std::nullopt;
    if (const auto clock = parse_clock(time_or_year)) {
        const auto time = latest_time_by(*month, *day, clock->hour, clock->minute, now);
        if (!time)
            return std::nullopt;
        return ListedTime{*time, Precision::Minutes};
    }
    const auto year =
        time_or_year.size() == 4 ? parse_in_range(time_or_year, 1900, 9999) : std::nullopt;
    if (!year)
        return std::nullopt;
    const auto time = utc_seconds(*year, *month, *day, 0, 0, 0);
    if (!time)
        return std::nullopt;
    return ListedTime{*time, Precision::Days};
}

std::string_view without_link_target(std::string_view name) {
    return name.substr(0, name.find(" -> "));
}

// The owner and group columns vary (numbers, names, missing group), so the size is found as
// the number right before the first "month day time-or-year" run after the permissions.
LineResult parse_unix_line(std::string_view line, std::int64_t now) {
    const std::vector<Field> fields = split_fields(line);
    if (fields.empty() || !is_permissions(fields[0].text))
        return {};
    const char type = fields[0].text[0];
    if (type != '-' && type != 'd' && type != 'l')
        return {};
    for (std::size_t month = 3; month + 2 < fields.size(); ++month) {
        const auto date = parse_unix_date(fields[month].text, fields[month + 1].text,
                                          fields[month + 2].text, now);
        const auto size = date ? parse_number(fields[month - 1].text) : std::nullopt;
        if (!size)
            continue;
        FtpListItem item;
        item.folder = type == 'd';
        item.link = type == 'l';
        item.size = item.folder ? 0 : *size;
        item.time = date->time;
        item.precision = date->precision;
        const std::string_view name = rest_after(line, fields[month + 2].end + 1);
        return item_named(std::move(item), item.link ? without_link_target(name) : name);
    }
    return {};
}

// --- DOS / IIS -----------------------------------------------------------------------------

// "01-02-23" or "12-31-2022", month first; two-digit years from 70 are 19xx.
std::optional<std::int64_t> parse_dos_date(std::string_view text) {
    if (text.size() != 8 && text.size() != 10)
        return std::nullopt;
    if (text[2] != '-' || text[5] != '-')
        return std::nullopt;
    const auto month = parse_in_range(text.substr(0, 2), 1, 12);
    const auto day = parse_in_range(text.substr(3, 2), 1, 31);
    auto year = parse_in_range(text.substr(6), 0, 9999);
    if (!month || !day || !year)
        return std::nullopt;
    if (text.size() == 8)
        *year += *year >= 70 ? 1900 : 2000;
    return utc_seconds(*year, *month, *day, 0, 0, 0);
}

// "10:15AM", "12:05AM" (just after midnight), or "22:15" from servers set to 24 hours.
std::optional<std::int64_t> parse_dos_clock(std::string_view text) {
    const bool am = text.ends_with("AM") || text.ends_with("am");
    const bool pm = text.ends_with("PM") || text.ends_with("pm");
    auto clock = parse_clock(am || pm ? text.substr(0, text.size() - 2) : text);
    if (!clock)
        return std::nullopt;
    if (am || pm) {
        if (clock->hour < 1 || clock->hour > 12)
            return std::nullopt;
        clock->hour = clock->hour % 12 + (pm ? 12 : 0);
    }
    return clock->hour * 3600 + clock->minute * 60;
}

LineResult parse_dos_line(std::string_view line) {
    const std::vector<Field> fields = split_fields(line);
    if (fields.size() < 3)
        return {};
    const auto date = parse_dos_date(fields[0].text);
    const auto clock = parse_dos_clock(fields[1].text);
    if (!date || !clock)
        return {};
    FtpListItem item;
    item.time = *date + *clock;
    item.precision = Precision::Minutes;
    if (fields[2].text == "<DIR>") {
        item.folder = true;
        // The name column follows padding whose width varies between servers.
        return item_named(std::move(item),
                          fields.size() > 3 ? line.substr(fields[3].begin) : std::string_view());
    }
    const auto size = parse_number(fields[2].text);
    if (!size)
        return {};
    item.size = *size;
    return item_named(std::move(item), rest_after(line, fields[2].end + 1));
}

// --- MLSD ----------------------------------------------------------------------------------

struct MlsdFacts {
    std::string_view type;
    std::optional<std::string_view> size;
    std::string_view modify;
};

MlsdFacts read_facts(std::string_view facts) {
    MlsdFacts read;
    while (!facts.empty()) {
        const std::size_t end = facts.find(';');
        const std::string_view fact = facts.substr(0, end);
        facts = end == std::string_view::npos ? std::string_view() : facts.substr(end + 1);
        const std::size_t equals = fact.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = fact.substr(0, equals);
        const std::string_view value = fact.substr(equals + 1);
        if (equal_ignoring_case(key, "type"))
            read.type = value;
        if (equal_ignoring_case(key, "size"))
            read.size = value;
        if (equal_ignoring_case(key, "modify"))
            read.modify = value;
    }
    return read;
}

// "20230101123456" with an optional fraction of a second, which is dropped. A value that
// cannot be read counts as no time at all rather than losing the file.
std::int64_t parse_mlsd_time(std::string_view text) {
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    if (whole.size() != 14 || !parse_number(whole))
        return 0;
    if (dot != std::string_view::npos && !parse_number(text.substr(dot + 1)))
        return 0;
    auto part = [&](std::size_t at, std::size_t length, int high) {
        return parse_in_range(whole.substr(at, length), 0, high);
    };
    const auto year = part(0, 4, 9999), month = part(4, 2, 12), day = part(6, 2, 31);
    const auto hour = part(8, 2, 23), minute = part(10, 2, 59), second = part(12, 2, 60);
    if (!year || !month || !day || !hour || !minute || !second)
        return 0;
    return utc_seconds(*year, *month, *day, *hour, *minute, *second).value_or(0);
}

enum class MlsdType { File, Folder, Link, Skipped };

MlsdType mlsd_type(std::string_view type) {
    if (equal_ignoring_case(type, "file"))
        return MlsdType::File;
    if (equal_ignoring_case(type, "dir"))
        return MlsdType::Folder;
    if (starts_with_ignoring_case(type, "OS.unix=symlink") ||
        starts_with_ignoring_case(type, "OS.unix=slink"))
        return MlsdType::Link;
    return MlsdType::Skipped;  // cdir, pdir, devices, or no type at all
}

LineResult parse_mlsd(std::string_view line) {
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos)
        return {};
    const MlsdFacts facts = read_facts(line.substr(0, space));
    const MlsdType type = mlsd_type(facts.type);
    if (type == MlsdType::Skipped)
        return {};
    FtpListItem item;
    item.folder = type == MlsdType::Folder;
    item.link = type == MlsdType::Link;
    if (!item.folder && facts.size) {
        const auto size = parse_number(*facts.size);
        if (!size)
            return {};
        item.size = *size;
    }
    item.time = parse_mlsd_time(facts.modify);
    return item_named(std::move(item), line.substr(space + 1));
}

LineResult parse_list(std::string_view line, std::int64_t now) {
    LineResult unix_result = parse_unix_line(line, now);
    if (unix_result.item || !unix_result.rejected_name.empty())
        return unix_result;
    return parse_dos_line(line);
}

std::int64_t floor_divide(std::int64_t value, std::int64_t unit) {
    const std::int64_t quotient = value / unit;
    return value % unit < 0 ? quotient - 1 : quotient;
}

std::int64_t seconds_in(Precision precision) {
    switch (precision) {
        case Precision::Seconds:
            return 1;
        case Precision::Minutes:
            return 60;
        case Precision::Days:
            return SecondsPerDay;
    }
    return 1;
}

}  // namespace

std::optional<FtpListItem> parse_mlsd_line(std::string_view line) {
    return parse_mlsd(line).item;
}

std::optional<FtpListItem> parse_list_line(std::string_view line, std::int64_t now) {
    return parse_list(line, now).item;
}

std::vector<FtpListItem> parse_listing(std::string_view reply, bool mlsd, std::int64_t now,
                                       const std::function<void(std::string_view)>& rejected) {
    std::vector<FtpListItem> items;
    while (!reply.empty()) {
        const std::size_t end = reply.find('\n');
        std::string_view line = reply.substr(0, end);
        reply = end == std::string_view::npos ? std::string_view() : reply.substr(end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        LineResult result = mlsd ? parse_mlsd(line) : parse_list(line, now);
        if (result.item)
            items.push_back(std::move(*result.item));
        if (!result.rejected_name.empty() && rejected)
            rejected(result.rejected_name);
    }
    return items;
}

bool times_agree(std::int64_t catalog_time, const FtpListItem& listed) {
    const std::int64_t unit = seconds_in(listed.precision);
    return floor_divide(catalog_time, unit) == floor_divide(listed.time, unit);
}

}  // namespace tovan
