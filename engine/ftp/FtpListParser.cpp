#include "engine/ftp/FtpListParser.h"

#include <algorithm>

#include "engine/ftp/FtpListDates.h"
#include "engine/ftp/FtpListSystems.h"
#include "engine/ftp/FtpListText.h"

namespace tovan {
namespace {

using namespace ftp_list;

// --- Unix ls -l and its relatives ---------------------------------------------------------

enum class UnixKind { File, Folder, Link, Other };

UnixKind kind_of(char type) {
    switch (type) {
        case '-':
            return UnixKind::File;
        case 'd':
            return UnixKind::Folder;
        case 'l':
            return UnixKind::Link;
        default:
            return UnixKind::Other;  // devices, pipes, sockets, doors
    }
}

// "drwxr-xr-x", possibly followed by an ACL or security-context mark ("+", "@", ".").
bool is_permissions(std::string_view text) {
    if (text.size() < 10 || !(text[0] == '-' || (text[0] >= 'a' && text[0] <= 'z')))
        return false;
    for (char c : text.substr(1, 9))
        if (std::string_view("-rwxsStTlL").find(c) == std::string_view::npos)
            return false;
    return true;
}

// Connect:Enterprise: ten flag columns and the protocol, "-C--E-----FTP".
bool is_connect_flags(std::string_view text) {
    if (text.size() != 13)
        return false;
    return std::ranges::all_of(text.substr(0, 10),
                               [](char c) { return c == '-' || (c >= 'A' && c <= 'Z'); }) &&
           std::ranges::all_of(text.substr(10), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// A numeric mode such as "100644" or "40755"; without the type bits, a file.
std::optional<UnixKind> numeric_kind(std::string_view text) {
    if (text.size() < 3 || text.size() > 6 ||
        text.find_first_not_of("01234567") != std::string_view::npos)
        return std::nullopt;
    std::uint32_t mode = 0;
    for (char c : text) mode = mode * 8 + static_cast<std::uint32_t>(c - '0');
    switch (mode & 0170000) {
        case 0:
        case 0100000:
            return UnixKind::File;
        case 0040000:
            return UnixKind::Folder;
        case 0120000:
            return UnixKind::Link;
        default:
            return UnixKind::Other;
    }
}

// The type from the leading fields, the first field after them, and whether the name column
// is padded (NetWare) rather than one blank after the date.
struct UnixType {
    UnixKind kind = UnixKind::Other;
    std::size_t after = 1;
    bool padded_name = false;
};

std::optional<UnixType> unix_type(const Fields& fields, bool numeric) {
    if (fields.empty())
        return std::nullopt;
    const std::string_view first = fields[0].text;
    if (numeric) {
        const auto kind = numeric_kind(first);
        return kind ? std::optional(UnixType{*kind}) : std::nullopt;
    }
    if (is_permissions(first))
        return UnixType{kind_of(first[0])};
    if (is_connect_flags(first))
        return UnixType{UnixKind::File};
    // NetWare: "d [RWCEAFMS]" or "d[RWCEAFMS]".
    if ((first == "d" || first == "-") && fields.size() > 1 && fields[1].text.starts_with('['))
        return UnixType{kind_of(first[0]), 2, true};
    if (first.size() > 2 && (first[0] == 'd' || first[0] == '-') && first[1] == '[')
        return UnixType{kind_of(first[0]), 1, true};
    return std::nullopt;
}

// A size of its own, or run together with the owner or group when the columns overflowed
// ("staff1234567").
std::optional<std::uint64_t> unix_size(std::string_view text) {
    if (const auto size = parse_size(text))
        return size;
    std::size_t digits = text.size();
    while (digits > 0 && is_digit(text[digits - 1])) --digits;
    const bool run_together = digits > 0 && digits < text.size() &&
                              std::ranges::any_of(text.substr(0, digits), [](char c) {
                                  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
                              });
    return run_together ? parse_number(text.substr(digits)) : std::nullopt;
}

// The owner and group columns vary (numbers, names, domains, missing, run together), so the
// size is the field right before the first date after the type.
LineResult parse_unix_line(std::string_view line, const Fields& fields, bool numeric,
                           std::int64_t now) {
    const auto type = unix_type(fields, numeric);
    if (!type)
        return unread();
    for (std::size_t at = std::max<std::size_t>(type->after + 1, 2); at < fields.size(); ++at) {
        const auto size = unix_size(fields[at - 1].text);
        const auto date = size ? read_date_run(fields, at, now) : std::nullopt;
        if (!date)
            continue;
        if (type->kind == UnixKind::Other)
            return nothing_to_catalog();
        FtpListItem item;
        item.folder = type->kind == UnixKind::Folder;
        item.link = type->kind == UnixKind::Link;
        item.size = item.folder ? 0 : *size;
        item.time = date->time.time;
        item.precision = date->time.precision;
        const std::string_view name = type->padded_name
                                          ? rest_from(line, fields, date->end)
                                          : rest_after(line, fields[date->end - 1].end + 1);
        return item_named(std::move(item), item.link ? name.substr(0, name.find(" -> ")) : name);
    }
    return unread();
}

LineResult parse_unix_text_line(std::string_view line, const Fields& fields, std::int64_t now) {
    return parse_unix_line(line, fields, false, now);
}

LineResult parse_unix_numeric_line(std::string_view line, const Fields& fields, std::int64_t now) {
    return parse_unix_line(line, fields, true, now);
}

// --- DOS / IIS -----------------------------------------------------------------------------

// "01-02-23", "12-31-2022" or "12/31/2022" month first; "2022-12-31"; "31.12.2022" day first.
std::optional<CalendarDay> parse_dos_day(std::string_view text) {
    if (text.size() == 10 && text[4] == '-' && text[7] == '-')
        return parse_day_field(text);
    const auto date = short_date(text);
    if (!date)
        return std::nullopt;
    return date->separator == '.' ? CalendarDay{date->year, date->second, date->first}
                                  : CalendarDay{date->year, date->first, date->second};
}

// "10:15AM", "12:05AM" (just after midnight), "10:15 PM", or "22:15" on 24 hours.
std::optional<Clock> parse_dos_clock(std::string_view text, std::string_view next, bool& apart) {
    apart = equal_ignoring_case(next, "AM") || equal_ignoring_case(next, "PM");
    std::string_view half = apart ? next : text.substr(std::max<std::size_t>(text.size(), 2) - 2);
    const bool am = equal_ignoring_case(half, "AM");
    const bool pm = equal_ignoring_case(half, "PM");
    auto clock = parse_clock(am || pm ? text.substr(0, text.size() - (apart ? 0 : 2)) : text);
    if (!clock || clock->has_seconds)
        return std::nullopt;
    if (am || pm) {
        if (clock->hour < 1 || clock->hour > 12)
            return std::nullopt;
        clock->hour = clock->hour % 12 + (pm ? 12 : 0);
    }
    return clock;
}

LineResult parse_dos_line(std::string_view line, const Fields& fields, std::int64_t) {
    if (fields.size() < 3)
        return unread();
    const auto day = parse_dos_day(fields[0].text);
    bool apart = false;
    const auto clock = day ? parse_dos_clock(fields[1].text, fields[2].text, apart) : std::nullopt;
    const std::size_t at = apart ? 3 : 2;
    const auto time = clock ? listed_time(*day, clock, 0) : std::nullopt;
    if (!time || at >= fields.size())
        return unread();
    FtpListItem item;
    item.time = time->time;
    item.precision = time->precision;
    const std::string_view kind = fields[at].text;
    if (kind == "<DIR>") {
        item.folder = true;
        // The name column follows padding whose width varies between servers.
        return item_named(std::move(item), rest_from(line, fields, at + 1));
    }
    if (kind.starts_with('<') && kind.ends_with('>'))
        return nothing_to_catalog();  // junctions and links to folders elsewhere
    const auto size = parse_size(kind);
    if (!size)
        return unread();
    item.size = *size;
    return item_named(std::move(item), rest_after(line, fields[at].end + 1));
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
        return nothing_to_catalog();
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

using LineReader = LineResult (*)(std::string_view, const Fields&, std::int64_t);

// The common forms first; numeric modes last, as other systems' lines start with numbers.
constexpr LineReader LineReaders[] = {
    parse_unix_text_line, parse_dos_line,          parse_vms_line,   parse_os2_line,
    parse_vxworks_line,   parse_os9_line,          parse_as400_line, parse_mvs_line,
    parse_nonstop_line,   parse_unix_numeric_line,
};

LineResult parse_list(std::string_view line, std::int64_t now) {
    if (line.starts_with('+'))
        if (LineResult result = parse_eplf_line(line); result.read)
            return result;
    const Fields fields = split_fields(line);
    for (LineReader reader : LineReaders)
        if (LineResult result = reader(line, fields, now); result.read)
            return result;
    return is_known_header(fields) ? nothing_to_catalog() : unread();
}

std::vector<std::string_view> split_lines(std::string_view reply) {
    std::vector<std::string_view> lines;
    while (!reply.empty()) {
        const std::size_t end = reply.find('\n');
        std::string_view line = reply.substr(0, end);
        reply = end == std::string_view::npos ? std::string_view() : reply.substr(end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.push_back(line);
    }
    return lines;
}

// A VMS entry whose name filled its line goes on over the next one or two lines; how many
// extra lines it took, or 0.
std::size_t read_continued(const std::vector<std::string_view>& lines, std::size_t first,
                           std::int64_t now, std::string& joined, LineResult& result) {
    if (!is_vms_name_alone(split_fields(lines[first])))
        return 0;
    joined = lines[first];
    for (std::size_t extra = 1; extra <= 2 && first + extra < lines.size(); ++extra) {
        joined += ' ';
        joined += lines[first + extra];
        result = parse_list(joined, now);
        if (result.read)
            return extra;
    }
    return 0;
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

// A catalog time on a whole day or minute may have come from a coarser listing than this one.
std::int64_t implied_unit(std::int64_t catalog_time) {
    if (catalog_time % SecondsPerDay == 0)
        return SecondsPerDay;
    return catalog_time % 60 == 0 ? 60 : 1;
}

}  // namespace

std::optional<FtpListItem> parse_mlsd_line(std::string_view line) {
    return parse_mlsd(line).item;
}

std::optional<FtpListItem> parse_list_line(std::string_view line, std::int64_t now) {
    return parse_list(line, now).item;
}

std::vector<FtpListItem> parse_listing(std::string_view reply, bool mlsd, std::int64_t now,
                                       const std::function<void(std::string_view)>& rejected,
                                       const std::function<void(std::string_view)>& unreadable) {
    const std::vector<std::string_view> lines = split_lines(reply);
    std::vector<FtpListItem> items;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find_first_not_of(" \t") == std::string_view::npos)
            continue;
        LineResult result = mlsd ? parse_mlsd(lines[i]) : parse_list(lines[i], now);
        std::string joined;
        if (!result.read && !mlsd)
            i += read_continued(lines, i, now, joined, result);
        if (result.item)
            items.push_back(std::move(*result.item));
        else if (!result.rejected_name.empty() && rejected)
            rejected(result.rejected_name);
        else if (!result.read && unreadable)
            unreadable(lines[i]);
    }
    return items;
}

bool times_agree(std::int64_t catalog_time, const FtpListItem& listed) {
    const std::int64_t unit = std::max(seconds_in(listed.precision), implied_unit(catalog_time));
    return floor_divide(catalog_time, unit) == floor_divide(listed.time, unit);
}

}  // namespace tovan
