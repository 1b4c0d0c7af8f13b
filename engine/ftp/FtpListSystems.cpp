#include "engine/ftp/FtpListSystems.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "engine/ftp/FtpListDates.h"

namespace tovan::ftp_list {
namespace {

constexpr std::uint64_t VmsBlock = 512;
// The end of year 9999: EPLF times past it are not times.
constexpr std::uint64_t LatestTime = 253402300799;

LineResult listed_item(std::string_view name, bool folder, std::uint64_t size,
                       std::optional<ListedTime> time) {
    FtpListItem item;
    item.folder = folder;
    item.size = folder ? 0 : size;
    if (time) {
        item.time = time->time;
        item.precision = time->precision;
    } else {
        item.precision = Precision::Days;
    }
    return item_named(std::move(item), name);
}

std::string_view text_of(const Fields& fields, std::size_t index) {
    return index < fields.size() ? fields[index].text : std::string_view();
}

std::string_view trimmed_end(std::string_view text) {
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

bool all_of(std::string_view text, std::string_view allowed) {
    return !text.empty() && text.find_first_not_of(allowed) == std::string_view::npos;
}

std::optional<ListedTime> time_of(std::optional<CalendarDay> day, std::optional<Clock> clock) {
    if (!day || day->year == 0)
        return std::nullopt;
    return listed_time(*day, clock, 0);
}

// "blocks used/blocks allocated", blocks alone, or a size with its unit ("1.5KB").
std::optional<std::uint64_t> vms_size(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash != std::string_view::npos && !all_digits(text.substr(slash + 1)))
        return std::nullopt;
    const std::string_view used = text.substr(0, slash);
    if (all_digits(used)) {
        const auto blocks = parse_number(used);
        if (!blocks || *blocks > std::numeric_limits<std::uint64_t>::max() / VmsBlock)
            return std::nullopt;
        return *blocks * VmsBlock;
    }
    return slash == std::string_view::npos ? parse_size(text) : std::nullopt;
}

std::optional<std::string_view> vms_name(std::string_view text) {
    const std::size_t semicolon = text.rfind(';');
    if (semicolon == std::string_view::npos || semicolon == 0 ||
        !all_digits(text.substr(semicolon + 1)))
        return std::nullopt;
    return text.substr(0, semicolon);
}

}  // namespace

LineResult parse_eplf_line(std::string_view line) {
    const std::size_t tab = line.find('\t');
    if (!line.starts_with('+') || tab == std::string_view::npos)
        return unread();
    FtpListItem item;
    item.precision = Precision::Seconds;
    bool listable = false;
    std::string_view facts = line.substr(1, tab - 1);
    while (!facts.empty()) {
        const std::size_t comma = facts.find(',');
        const std::string_view fact = facts.substr(0, comma);
        facts = comma == std::string_view::npos ? std::string_view() : facts.substr(comma + 1);
        const auto number = fact.empty() ? std::nullopt : parse_number(fact.substr(1));
        if (fact == "/" || fact == "r") {
            item.folder = item.folder || fact == "/";
            listable = true;
        } else if (fact.starts_with('s')) {
            if (!number)
                return unread();
            item.size = *number;
        } else if (fact.starts_with('m')) {
            if (!number || *number > LatestTime)
                return unread();
            item.time = static_cast<std::int64_t>(*number);
        }
    }
    // Neither a file to fetch nor a folder to enter.
    if (!listable)
        return nothing_to_catalog();
    if (item.folder)
        item.size = 0;
    return item_named(std::move(item), line.substr(tab + 1));
}

bool is_vms_name_alone(const Fields& fields) {
    return fields.size() == 1 && vms_name(fields[0].text);
}

LineResult parse_vms_line(std::string_view, const Fields& fields, std::int64_t) {
    const auto name = fields.size() >= 2 ? vms_name(fields[0].text) : std::nullopt;
    if (!name)
        return unread();
    std::optional<CalendarDay> day;
    std::optional<Clock> clock;
    std::optional<std::uint64_t> size;
    // Owner "[GROUP,OWNER]" and protection "(RWED,RWED,RE,)" are not needed.
    for (std::size_t i = 1; i < fields.size(); ++i) {
        const std::string_view text = fields[i].text;
        if (const auto listed = day ? std::nullopt : parse_day_field(text);
            listed && listed->year != 0) {
            day = listed;
            continue;
        }
        if (day && !clock && (clock = parse_clock(text)))
            continue;
        if (!size)
            size = vms_size(text);
    }
    const auto time = time_of(day, clock);
    if (!time)
        return unread();
    const bool folder =
        name->size() > 4 && equal_ignoring_case(name->substr(name->size() - 4), ".DIR");
    return listed_item(folder ? name->substr(0, name->size() - 4) : *name, folder, size.value_or(0),
                       time);
}

LineResult parse_os2_line(std::string_view line, const Fields& fields, std::int64_t) {
    if (fields.size() < 4 || !all_digits(fields[0].text))
        return unread();
    std::size_t at = 1;
    bool folder = false;
    while (at < 4 && (text_of(fields, at) == "DIR" || all_of(text_of(fields, at), "AHRS"))) {
        folder = folder || fields[at].text == "DIR";
        ++at;
    }
    const auto date = short_date(text_of(fields, at));
    const auto clock = parse_clock(text_of(fields, at + 1));
    if (!date || date->separator != '-' || !clock || clock->has_seconds)
        return unread();
    const auto time = time_of(CalendarDay{date->year, date->first, date->second}, clock);
    const auto size = parse_number(fields[0].text);
    if (!time || !size)
        return unread();
    return listed_item(rest_from(line, fields, at + 2), folder, *size, time);
}

LineResult parse_vxworks_line(std::string_view line, const Fields& fields, std::int64_t) {
    if (fields.size() < 4 || !all_digits(fields[0].text) || is_digit(fields[1].text[0]))
        return unread();
    const auto clock = parse_clock(fields[2].text);
    const auto time = clock && clock->has_seconds ? time_of(parse_day_field(fields[1].text), clock)
                                                  : std::nullopt;
    const auto size = parse_number(fields[0].text);
    if (!time || !size)
        return unread();
    std::string_view name = trimmed_end(rest_from(line, fields, 3));
    const bool folder = name.ends_with("<DIR>");
    if (folder)
        name = trimmed_end(name.substr(0, name.size() - 5));
    return listed_item(name, folder, *size, time);
}

// Years come first in OS-9's dates ("03/08/22" is 2003-08-22), and its clocks have no colon.
LineResult parse_os9_line(std::string_view line, const Fields& fields, std::int64_t) {
    if (fields.size() < 7 || !all_of(fields[0].text, "0123456789.") ||
        fields[0].text.find('.') == std::string_view::npos)
        return unread();
    const std::string_view date = fields[1].text;
    const std::string_view hhmm = fields[2].text;
    const std::string_view attributes = fields[3].text;
    if (date.size() != 8 || date[2] != '/' || date[5] != '/' || hhmm.size() != 4 ||
        !all_of(attributes.substr(1), "-sewr") || (attributes[0] != 'd' && attributes[0] != '-'))
        return unread();
    const auto year = full_year(date.substr(0, 2));
    const auto month = parse_in_range(date.substr(3, 2), 1, 12);
    const auto day = parse_in_range(date.substr(6, 2), 1, 31);
    const auto hour = parse_in_range(hhmm.substr(0, 2), 0, 23);
    const auto minute = parse_in_range(hhmm.substr(2), 0, 59);
    const auto size = parse_number(fields[5].text);
    if (!year || !month || !day || !hour || !minute || !size)
        return unread();
    const auto time = time_of(CalendarDay{*year, *month, *day}, Clock{*hour, *minute, 0, false});
    if (!time)
        return unread();
    return listed_item(rest_from(line, fields, 6), attributes[0] == 'd', *size, time);
}

LineResult parse_as400_line(std::string_view line, const Fields& fields, std::int64_t) {
    // Members list no size or date, and their names are paths into the file that holds them.
    if (fields.size() >= 3 && fields[1].text == "*MEM")
        return listed_item(rest_from(line, fields, 2), false, 0, std::nullopt);
    if (fields.size() < 6 || !all_digits(fields[1].text) || !fields[4].text.starts_with('*'))
        return unread();
    const auto date = short_date(fields[2].text);
    const auto clock = parse_clock(fields[3].text);
    if (!date || !clock || date->separator == '-')
        return unread();
    // Dots put the day first; slashes the month, unless it cannot be one.
    const bool day_first = date->separator == '.' || date->first > 12;
    const CalendarDay day{date->year, day_first ? date->second : date->first,
                          day_first ? date->first : date->second};
    const auto time = time_of(day, clock);
    if (!time)
        return unread();
    std::string_view name = trimmed_end(rest_from(line, fields, 5));
    const bool folder = name.ends_with('/') || fields[4].text == "*DIR" || fields[4].text == "*LIB";
    if (name.ends_with('/'))
        name.remove_suffix(1);
    return listed_item(name, folder, *parse_number(fields[1].text), time);
}

LineResult parse_mvs_line(std::string_view line, const Fields& fields, std::int64_t) {
    if (fields.size() == 2 && fields[0].text == "Migrated")
        return listed_item(fields[1].text, false, 0, std::nullopt);
    if (fields.size() == 3 && fields[0].text == "Pseudo" && fields[1].text == "Directory")
        return listed_item(fields[2].text, true, 0, std::nullopt);
    if (fields.size() >= 2 && (line.find("Not Direct Access Device") != std::string_view::npos ||
                               line.find("Error determining attributes") != std::string_view::npos))
        return listed_item(fields.back().text, false, 0, std::nullopt);
    // A dataset: volume, unit, referred date, extents, used, format, record length, block
    // size, organisation, name. Partitioned datasets ("PO") hold members, like folders.
    if (fields.size() >= 9 && all_digits(fields[1].text)) {
        const std::string_view referred = fields[2].text;
        const auto time = time_of(parse_day_field(referred), std::nullopt);
        if (!time && referred != "**NONE**")
            return unread();
        const std::string_view organisation = fields[fields.size() - 2].text;
        return listed_item(fields.back().text, organisation.starts_with("PO"), 0, time);
    }
    // A member: name, version.modification, created, changed date and clock, lines, ...
    if (fields.size() >= 6 && fields[1].text.size() == 5 && fields[1].text[2] == '.') {
        const auto time = time_of(parse_day_field(fields[3].text), parse_clock(fields[4].text));
        const auto lines = parse_number(fields[5].text);
        if (!time || !lines || !parse_day_field(fields[2].text))
            return unread();
        return listed_item(fields[0].text, false, *lines, time);
    }
    return unread();
}

LineResult parse_nonstop_line(std::string_view, const Fields& fields, std::int64_t) {
    if (fields.size() < 7 || !all_digits(fields[1].text) || !fields[6].text.starts_with('"') ||
        !all_of(fields[5].text, "0123456789,"))
        return unread();
    const auto time = time_of(parse_day_field(fields[3].text), parse_clock(fields[4].text));
    const auto size = parse_number(fields[2].text);
    if (!time || !size)
        return unread();
    return listed_item(fields[0].text, false, *size, time);
}

bool is_known_header(const Fields& fields) {
    if (fields.empty() || all_of(fields[0].text, "-="))
        return true;
    // The owner or protection of a VMS entry that went on over another line.
    if (std::ranges::all_of(fields, [](const Field& field) {
            return field.text.starts_with('(') || field.text.starts_with('[');
        }))
        return true;
    // clang-format off
    static constexpr std::array<std::string_view, 9> Totals = {
        "total", "insgesamt", "totaal", "totale", "итого", "合計", "合计", "总用量", "합계"};
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> Headings = {{
        {"Volume", "Unit"}, {"Name", "VV.MM"}, {"Owner", "Last"}, {"size", "date"},
        {"File", "Code"}, {"Total", "of"}}};
    // clang-format on
    if (fields.size() < 2)
        return false;
    const std::string_view first = fields[0].text;
    if (fields.size() == 2 && parse_size(fields[1].text))
        for (std::string_view total : Totals)
            if (equal_ignoring_case(first, total))
                return true;
    for (const auto& [a, b] : Headings)
        if (first == a && fields[1].text == b)
            return true;
    return first == "Directory" && fields.size() == 2;
}

}  // namespace tovan::ftp_list
