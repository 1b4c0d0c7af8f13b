#include "engine/ftp/FtpListDates.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <utility>

namespace tovan::ftp_list {
namespace {

// Dates without a year are read only while `now` is within about ten thousand years of 1970, so
// that no calendar arithmetic can overflow whatever a caller passes.
constexpr std::int64_t SaneTimeRange = 10000LL * 366 * SecondsPerDay;

// clang-format off
constexpr std::pair<std::string_view, int> MonthNames[] = {
    {"jan", 1}, {"january", 1}, {"janv", 1}, {"janvier", 1}, {"januar", 1}, {"jän", 1},
    {"ene", 1}, {"enero", 1}, {"gen", 1}, {"gennaio", 1}, {"janeiro", 1}, {"januari", 1},
    {"feb", 2}, {"february", 2}, {"febr", 2}, {"fév", 2}, {"févr", 2}, {"février", 2},
    {"februar", 2}, {"febrero", 2}, {"febbraio", 2}, {"fev", 2}, {"fevereiro", 2}, {"februari", 2},
    {"mar", 3}, {"march", 3}, {"mär", 3}, {"märz", 3}, {"mrz", 3}, {"mars", 3}, {"marzo", 3},
    {"mrt", 3}, {"maart", 3}, {"março", 3}, {"maa", 3},
    {"apr", 4}, {"april", 4}, {"avr", 4}, {"avril", 4}, {"abr", 4}, {"abril", 4}, {"aprile", 4},
    {"may", 5}, {"mai", 5}, {"mayo", 5}, {"mag", 5}, {"maggio", 5}, {"mei", 5}, {"maj", 5},
    {"maio", 5},
    {"jun", 6}, {"june", 6}, {"juni", 6}, {"juin", 6}, {"junio", 6}, {"giu", 6}, {"giugno", 6},
    {"junho", 6},
    {"jul", 7}, {"july", 7}, {"juli", 7}, {"juil", 7}, {"juillet", 7}, {"julio", 7},
    {"lug", 7}, {"luglio", 7}, {"julho", 7},
    {"aug", 8}, {"august", 8}, {"août", 8}, {"aoû", 8}, {"ago", 8}, {"agosto", 8},
    {"augustus", 8},
    {"sep", 9}, {"sept", 9}, {"september", 9}, {"septembre", 9}, {"septiembre", 9},
    {"set", 9}, {"settembre", 9}, {"setembro", 9},
    {"oct", 10}, {"october", 10}, {"okt", 10}, {"oktober", 10}, {"octobre", 10},
    {"octubre", 10}, {"ott", 10}, {"ottobre", 10}, {"out", 10}, {"outubro", 10},
    {"nov", 11}, {"november", 11}, {"novembre", 11}, {"noviembre", 11}, {"novembro", 11},
    {"dec", 12}, {"december", 12}, {"dez", 12}, {"dezember", 12}, {"déc", 12},
    {"décembre", 12}, {"dic", 12}, {"diciembre", 12}, {"dicembre", 12}, {"des", 12},
    {"dezembro", 12},
};
// clang-format on

// Chinese and Japanese, then Korean.
constexpr std::array<std::string_view, 2> YearMarks = {"年", "년"};
constexpr std::array<std::string_view, 2> MonthMarks = {"月", "월"};
constexpr std::array<std::string_view, 2> DayMarks = {"日", "일"};

int utc_year(std::int64_t time) {
    const std::chrono::sys_seconds instant{std::chrono::seconds{time}};
    const std::chrono::year_month_day date{std::chrono::floor<std::chrono::days>(instant)};
    return static_cast<int>(date.year());
}

// Servers drop the year for recent files, and a day covers any time zone the server may be in.
std::optional<std::int64_t> latest_time_by(int month, int day, int seconds_of_day,
                                           std::int64_t now) {
    if (now < -SaneTimeRange || now > SaneTimeRange)
        return std::nullopt;
    const std::int64_t limit = now + SecondsPerDay;
    const int newest_year = utc_year(limit);
    // Eight years back reaches a leap year from any year, for "Feb 29".
    for (int year = newest_year; year >= newest_year - 8; --year) {
        const auto time = utc_seconds(year, month, day, 0, 0, seconds_of_day);
        if (time && *time <= limit)
            return time;
    }
    return std::nullopt;
}

// Digits followed by one of the marks, taken off the front of the text.
std::optional<int> take_marked(std::string_view& text,
                               const std::array<std::string_view, 2>& marks) {
    if (text.empty() || !is_digit(text[0]))
        return std::nullopt;
    std::size_t digits = 0;
    while (digits < text.size() && is_digit(text[digits])) ++digits;
    // The marks are all beyond ASCII.
    if (digits == text.size() || static_cast<unsigned char>(text[digits]) < 0x80)
        return std::nullopt;
    for (std::string_view mark : marks) {
        if (digits == 0 || digits > 4 || text.substr(digits, mark.size()) != mark)
            continue;
        const auto value = parse_in_range(text.substr(0, digits), 0, 9999);
        text.remove_prefix(digits + mark.size());
        return value;
    }
    return std::nullopt;
}

std::optional<int> marked_field(std::string_view text,
                                const std::array<std::string_view, 2>& marks) {
    const auto value = take_marked(text, marks);
    return value && text.empty() ? value : std::nullopt;
}

// "14", "08," or "1." (German), or "16日".
std::optional<int> day_of_month(std::string_view text) {
    if (const auto marked = marked_field(text, DayMarks))
        return *marked >= 1 && *marked <= 31 ? marked : std::nullopt;
    if (!text.empty() && (text.back() == ',' || text.back() == '.'))
        text.remove_suffix(1);
    return text.size() <= 2 ? parse_in_range(text, 1, 31) : std::nullopt;
}

std::optional<int> year_field(std::string_view text) {
    if (const auto marked = marked_field(text, YearMarks))
        return *marked >= 1900 ? marked : std::nullopt;
    return text.size() == 4 ? parse_in_range(text, 1900, 9999) : std::nullopt;
}

std::optional<CalendarDay> asian_day(std::string_view text) {
    const auto year = take_marked(text, YearMarks);
    const auto month = take_marked(text, MonthMarks);
    const auto day = take_marked(text, DayMarks);
    if (!year || !month || !day || !text.empty() || *year < 1900)
        return std::nullopt;
    return CalendarDay{*year, *month, *day};
}

struct Parts {
    std::array<std::string_view, 3> part;
    std::size_t count = 0;
    char separator = 0;
};

Parts split_date(std::string_view text) {
    Parts parts;
    const std::size_t cut = text.find_first_of("-/.");
    if (cut == std::string_view::npos)
        return parts;
    parts.separator = text[cut];
    while (parts.count < 3) {
        const std::size_t end = text.find(parts.separator);
        parts.part[parts.count++] = text.substr(0, end);
        if (end == std::string_view::npos)
            return parts;
        text.remove_prefix(end + 1);
    }
    parts.count = 4;  // too many
    return parts;
}

std::optional<CalendarDay> numbers_day(std::optional<int> year, std::optional<int> month,
                                       std::string_view day_text) {
    const auto day = day_text.size() <= 2 ? parse_in_range(day_text, 1, 31) : std::nullopt;
    if (!year || !month || !day)
        return std::nullopt;
    return CalendarDay{*year, *month, *day};
}

std::optional<int> month_digits(std::string_view text) {
    return text.size() <= 2 ? parse_in_range(text, 1, 12) : std::nullopt;
}

// Three parts: which one is the year and where the month is named tells the order.
std::optional<CalendarDay> three_part_day(const Parts& parts) {
    const auto [a, b, c] = parts.part;
    if (a.size() == 4)
        return numbers_day(full_year(a), month_digits(b), c);
    if (const auto month = month_number(b))  // 07-Jun-05
        return numbers_day(full_year(c), month, a);
    if (const auto month = month_number(a))  // JUN-07-2005
        return numbers_day(full_year(c), month, b);
    if (c.size() != 4)
        return std::nullopt;
    const auto first = parse_in_range(a, 1, 31);
    // Slashes put the month first unless it cannot be one; dashes and dots put the day first.
    if (parts.separator == '/' && first && *first <= 12)
        return numbers_day(full_year(c), first, b);
    return numbers_day(full_year(c), month_digits(b), a);
}

}  // namespace

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

std::optional<int> month_number(std::string_view name) {
    if (name.size() > 1 && name.back() == '.')
        name.remove_suffix(1);
    // Most fields tried are owners, sizes and clocks: they go without a look at the names.
    if (name.size() < 3 || name.size() > 10 ||
        std::string_view("adefgjlmnos").find(ascii_lower(name[0])) == std::string_view::npos)
        return std::nullopt;
    char lower[10];
    std::ranges::transform(name, lower, ascii_lower);
    const std::string_view folded(lower, name.size());
    for (const auto& [known, number] : MonthNames)
        if (known[0] == folded[0] && known == folded)
            return number;
    return std::nullopt;
}

std::optional<Clock> parse_clock(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() < colon + 3)
        return std::nullopt;
    Clock clock;
    const auto hour = parse_in_range(text.substr(0, colon), 0, 23);
    const auto minute = parse_in_range(text.substr(colon + 1, 2), 0, 59);
    if (!hour || !minute)
        return std::nullopt;
    clock.hour = *hour;
    clock.minute = *minute;
    text.remove_prefix(colon + 3);
    if (text.empty())
        return clock;
    const auto second = text.size() >= 3 && text[0] == ':'
                            ? parse_in_range(text.substr(1, 2), 0, 60)
                            : std::nullopt;
    const std::string_view fraction = text.substr(std::min<std::size_t>(3, text.size()));
    if (!second || (!fraction.empty() && (fraction[0] != '.' || !all_digits(fraction.substr(1)))))
        return std::nullopt;
    clock.second = *second;
    clock.has_seconds = true;
    return clock;
}

std::optional<int> full_year(std::string_view digits) {
    switch (digits.size()) {
        case 2: {
            const auto year = parse_in_range(digits, 0, 99);
            return year ? std::optional(*year + (*year >= 70 ? 1900 : 2000)) : std::nullopt;
        }
        case 3: {
            const auto year = parse_in_range(digits, 0, 999);
            return year ? std::optional(*year + 1900) : std::nullopt;
        }
        case 4:
            return parse_in_range(digits, 1900, 9999);
        default:
            return std::nullopt;
    }
}

std::optional<CalendarDay> parse_day_field(std::string_view text) {
    if (const auto asian = asian_day(text))
        return asian;
    const Parts parts = split_date(text);
    if (parts.count == 3)
        return three_part_day(parts);
    if (parts.count == 2 && parts.separator == '-')  // 06-07, year left to "now"
        return numbers_day(0, month_digits(parts.part[0]), parts.part[1]);
    return std::nullopt;
}

std::optional<ShortDate> short_date(std::string_view text) {
    if (text.size() < 8 || text.size() > 10)
        return std::nullopt;
    const char separator = text[2];
    if (text[5] != separator || (separator != '-' && separator != '/' && separator != '.'))
        return std::nullopt;
    const auto first = parse_in_range(text.substr(0, 2), 0, 99);
    const auto second = parse_in_range(text.substr(3, 2), 0, 99);
    const auto year = full_year(text.substr(6));
    if (!first || !second || !year)
        return std::nullopt;
    return ShortDate{*first, *second, *year, separator};
}

std::optional<ListedTime> listed_time(CalendarDay day, std::optional<Clock> clock,
                                      std::int64_t now) {
    const Precision precision = !clock               ? Precision::Days
                                : clock->has_seconds ? Precision::Seconds
                                                     : Precision::Minutes;
    const int seconds_of_day = clock ? clock->hour * 3600 + clock->minute * 60 + clock->second : 0;
    const auto time = day.year != 0
                          ? utc_seconds(day.year, day.month, day.day, 0, 0, seconds_of_day)
                      : clock ? latest_time_by(day.month, day.day, seconds_of_day, now)
                              : std::nullopt;
    if (!time)
        return std::nullopt;
    return ListedTime{*time, precision};
}

namespace {

struct DayRun {
    CalendarDay day;
    std::size_t end = 0;
};

std::optional<DayRun> read_day(const Fields& fields, std::size_t at) {
    const auto text = [&](std::size_t i) {
        return i < fields.size() ? fields[i].text : std::string_view();
    };
    if (const auto month = month_number(text(at)))  // Mar 14
        if (const auto day = day_of_month(text(at + 1)))
            return DayRun{{0, *month, *day}, at + 2};
    if (const auto day = day_of_month(text(at)))  // 14 Mar, 14. Mär
        if (const auto month = month_number(text(at + 1)))
            return DayRun{{0, *month, *day}, at + 2};
    if (const auto month = marked_field(text(at), MonthMarks))  // 3月 14日
        if (const auto day = day_of_month(text(at + 1)))
            return DayRun{{0, *month, *day}, at + 2};
    if (const auto year = marked_field(text(at), YearMarks))  // 2024年 3月 14日
        if (const auto month = marked_field(text(at + 1), MonthMarks))
            if (const auto day = marked_field(text(at + 2), DayMarks))
                return DayRun{{*year, *month, *day}, at + 3};
    if (const auto day = parse_day_field(text(at)))
        return DayRun{*day, at + 1};
    return std::nullopt;
}

// "+0200" or "-0130" after a clock with seconds (ls --full-time).
std::optional<std::int64_t> zone_offset(std::string_view text) {
    if (text.size() != 5 || (text[0] != '+' && text[0] != '-'))
        return std::nullopt;
    const auto hours = parse_in_range(text.substr(1, 2), 0, 23);
    const auto minutes = parse_in_range(text.substr(3, 2), 0, 59);
    if (!hours || !minutes)
        return std::nullopt;
    return (text[0] == '+' ? 1 : -1) * (*hours * 3600 + *minutes * 60);
}

}  // namespace

std::optional<DateRun> read_date_run(const Fields& fields, std::size_t at, std::int64_t now) {
    auto run = read_day(fields, at);
    if (!run)
        return std::nullopt;
    std::size_t next = run->end;
    if (run->day.year == 0 && next < fields.size())
        if (const auto year = year_field(fields[next].text)) {
            run->day.year = *year;
            ++next;
        }
    std::optional<Clock> clock;
    if (next < fields.size() && (clock = parse_clock(fields[next].text)))
        ++next;
    auto time = listed_time(run->day, clock, now);
    if (!time)
        return std::nullopt;
    if (clock && clock->has_seconds && next < fields.size())
        if (const auto offset = zone_offset(fields[next].text)) {
            time->time -= *offset;
            ++next;
        }
    return DateRun{*time, next};
}

}  // namespace tovan::ftp_list
