#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/ftp/FtpListParser.h"

namespace tovan {
namespace {

using namespace std::literals;
using Precision = FtpListItem::Precision;

constexpr std::int64_t June2024 = 1717243200;     // 2024-06-01 12:00 UTC
constexpr std::int64_t NewYear2024 = 1704069000;  // 2024-01-01 00:30 UTC
constexpr std::int64_t NewYearsEve = 1703980800;  // 2023-12-31 00:00 UTC
constexpr std::int64_t Jan1Of2023 = 1672576496;   // 2023-01-01 12:34:56 UTC
constexpr std::int64_t Mar14Of2023 = 1678785120;  // 2023-03-14 09:12:00 UTC

std::int64_t utc(int year, unsigned month, unsigned day, int hour = 0, int minute = 0) {
    using namespace std::chrono;
    const sys_days date{
        year_month_day{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}}};
    return date.time_since_epoch().count() * 86400 + hour * 3600 + minute * 60;
}

FtpListItem file(std::string name, std::uint64_t size, std::int64_t time, Precision precision) {
    return {std::move(name), false, size, time, precision, false};
}
FtpListItem folder(std::string name, std::int64_t time, Precision precision) {
    return {std::move(name), true, 0, time, precision, false};
}
FtpListItem link(std::string name, std::uint64_t size, std::int64_t time, Precision precision) {
    return {std::move(name), false, size, time, precision, true};
}
const std::optional<FtpListItem> skipped;
constexpr Precision Minutes = Precision::Minutes;
constexpr Precision Days = Precision::Days;
constexpr Precision Seconds = Precision::Seconds;

std::string describe(const std::optional<FtpListItem>& item) {
    if (!item)
        return "skipped";
    const char* precisions[] = {"s", "min", "day"};
    return std::string(item->folder ? "folder"
                       : item->link ? "link"
                                    : "file") +
           " [" + item->name + "] size " + std::to_string(item->size) + " time " +
           std::to_string(item->time) + " " + precisions[static_cast<int>(item->precision)];
}

struct Row {
    const char* family;
    std::string_view line;
    std::optional<FtpListItem> expected;
    std::int64_t now = June2024;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.line;
}

std::string row_name(const testing::TestParamInfo<Row>& info) {
    return std::string(info.param.family) + "_" + std::to_string(info.index);
}

// clang-format off
const Row list_rows[] = {
    {"vsftpd", "drwxr-xr-x    2 ftp      ftp          4096 Mar 14 09:12 pub", folder("pub", utc(2024, 3, 14, 9, 12), Minutes)},
    {"vsftpd", "-rw-r--r--    1 1000     1000      5368709120 Jan 05  2021 disk.img", file("disk.img", 5368709120, utc(2021, 1, 5), Days)},
    {"vsftpd", "lrwxrwxrwx    1 0        0               7 Jan 01  2020 link -> target", link("link", 7, utc(2020, 1, 1), Days)},
    {"vsftpd", "-rw-r--r--    1 1000     1000           9 Dec 31 23:59 last year", file("last year", 9, utc(2023, 12, 31, 23, 59), Minutes)},
    {"ProFTPD", "-rw-r--r--   1 0        0        1234567 Dec 31  2022 file name with  spaces.txt", file("file name with  spaces.txt", 1234567, utc(2022, 12, 31), Days)},
    {"ProFTPD", "-rw-r--r--   1 ftp      ftp          1234 Mar  4 23:59 trailing space ", file("trailing space ", 1234, utc(2024, 3, 4, 23, 59), Minutes)},
    {"ProFTPD", "drwxr-xr-x   2 ftp      ftp          4096 Jun  2 10:00 tomorrow", folder("tomorrow", utc(2024, 6, 2, 10, 0), Minutes)},
    {"ProFTPD", "drwxr-xr-x   2 ftp      ftp          4096 Jun  3 10:00 two days ahead", folder("two days ahead", utc(2023, 6, 3, 10, 0), Minutes)},
    {"ProFTPD", "-rw-r--r--+  1 ftp      ftp             5 Mar 14 09:12 acl", file("acl", 5, utc(2024, 3, 14, 9, 12), Minutes)},
    {"PureFTPd", "drwxr-xr-x    3 1000       1000          4096 Feb 29  2020 leap", folder("leap", utc(2020, 2, 29), Days)},
    {"PureFTPd", "-rw-r--r--    1 1000       1000             1 Feb 29 08:00 leap day", file("leap day", 1, utc(2024, 2, 29, 8, 0), Minutes)},
    {"PureFTPd", "-rw-r--r--    1 1000       1000             1 Feb 29 08:00 leap day", file("leap day", 1, utc(2024, 2, 29, 8, 0), Minutes), June2024 + 365 * 86400},
    {"PureFTPd", "-rw-r--r--    1 1000       1000             1 Feb 29 08:00 leap day", file("leap day", 1, utc(2024, 2, 29, 8, 0), Minutes), June2024 + 3 * 365 * 86400},
    {"pyftpdlib", "-rw-r--r--.  1 giampaolo staff          3 Mar 14 09:12 selinux", file("selinux", 3, utc(2024, 3, 14, 9, 12), Minutes)},
    {"IIS", "01-02-23  10:15AM       <DIR>          Some Folder", folder("Some Folder", utc(2023, 1, 2, 10, 15), Minutes)},
    {"IIS", "12-31-2022  11:59PM            123456 file.txt", file("file.txt", 123456, utc(2022, 12, 31, 23, 59), Minutes)},
    {"IIS", "03-14-24  12:05AM                 1 midnight.txt", file("midnight.txt", 1, utc(2024, 3, 14, 0, 5), Minutes)},
    {"IIS", "03-14-24  12:05PM                 1 noon.txt", file("noon.txt", 1, utc(2024, 3, 14, 12, 5), Minutes)},
    {"IIS", "06-15-99  08:00PM                 0 old.txt", file("old.txt", 0, utc(1999, 6, 15, 20, 0), Minutes)},
    {"IIS", "06-15-70  08:00AM                 0 first.txt", file("first.txt", 0, utc(1970, 6, 15, 8, 0), Minutes)},
    {"IIS", "06-15-69  08:00AM                 0 late.txt", file("late.txt", 0, utc(2069, 6, 15, 8, 0), Minutes)},
    {"IIS", "03-14-24  09:12AM                10 name with  spaces ", file("name with  spaces ", 10, utc(2024, 3, 14, 9, 12), Minutes)},
    {"IIS", "03-14-24  21:12                  10 clock24.txt", file("clock24.txt", 10, utc(2024, 3, 14, 21, 12), Minutes)},
    {"IIS", "03-14-24  13:12PM                10 bad hour", skipped},
    {"IIS", "02-30-24  09:12AM                10 no such day", skipped},
    {"IIS", "03-14-24  09:12AM       <DIR>          .", skipped},
    {"IIS", "03-14-24  09:12AM       <JUNCTION>     other", skipped},
    {"IIS", "-rwxrwxrwx   1 owner    group          1234 Mar 14  9:12 unix style", file("unix style", 1234, utc(2024, 3, 14, 9, 12), Minutes)},
    {"busybox", "total 12", skipped},
    {"busybox", "crw-rw-rw-    1 0        0           1,   3 Mar 14 09:12 null", skipped},
    {"busybox", "prw-r--r--    1 0        0               0 Mar 14 09:12 fifo", skipped},
    {"ls", "-rw-r--r-- 1 owner 12 Jan  1 2020 x", file("x", 12, utc(2020, 1, 1), Days)},
    {"ls", "-rw-r--r-- owner 12 Jan  1 2020 no links", file("no links", 12, utc(2020, 1, 1), Days)},
    {"ls", "-rw-r--r-- 1 u g 5 MAR 14 09:12 upper", file("upper", 5, utc(2024, 3, 14, 9, 12), Minutes)},
    {"ls", "-rw-r--r-- 1 u g 5 mar 14 09:12 lower", file("lower", 5, utc(2024, 3, 14, 9, 12), Minutes)},
    {"ls", "-rw-r--r-- 1 u g 5 Mar 14 09:12  ", file(" ", 5, utc(2024, 3, 14, 9, 12), Minutes)},
    {"ls", "-rw-r--r-- 1 u g 5 Mar 14 09:12  lead", file(" lead", 5, utc(2024, 3, 14, 9, 12), Minutes)},
    {"ls", "-rw-r--r-- 1 u g 5 Mar 14 09:12 Jan 1 2020 x", file("Jan 1 2020 x", 5, utc(2024, 3, 14, 9, 12), Minutes)},
    {"ls", "-rw-r--r-- 1 u g 18446744073709551615 Mar 14 09:12 max", file("max", 18446744073709551615u, utc(2024, 3, 14, 9, 12), Minutes)},
    {"ls", "-rw-r--r-- 1 u g 18446744073709551616 Mar 14 09:12 overflow", skipped},
    {"ls", "lrwxrwxrwx 1 u g 7 Jan 1 2020 no target", link("no target", 7, utc(2020, 1, 1), Days)},
    {"ls", "drwxr-xr-x 2 u g 4096 Mar 14 09:12 .", skipped},
    {"ls", "drwxr-xr-x 2 u g 4096 Mar 14 09:12 ..", skipped},
    {"ls", "-rw-r--r-- 1 u g 5 Mar 14 09:12 a/b", skipped},
    {"ls", "-rw-r--r-- 1 u g 5 Mar 14 09:12 a\0b"sv, skipped},
    {"ls", "lrwxrwxrwx 1 u g 7 Jan 1 2020 ../x -> y", skipped},
    {"ls", "-rw-r--r-- 1 u g 5 Mar 14 09:12", skipped},
    {"ls", "-rw-r--r-- 1 u g 5 Mar 14 09:12 ", skipped},
    {"ls", "-rw-r--r-- 1 u g 5 Mar 32 09:12 x", skipped},
    {"ls", "-rw-r--r-- 1 u g 5 Foo 14 09:12 x", skipped},
    {"ls", "-rw-r--r-- 1 u g 5 Mar 14 25:00 x", skipped},
    {"ls", "-rw-r--r-- 1 u g 5 Feb 30  2020 x", skipped},
    {"ls", "-rw-r--r-- 1 u g -5 Mar 14 09:12 x", skipped},
    {"ls", "", skipped},
    // Around New Year: the latest such date at most one day after now.
    {"newyear", "-rw-r--r-- 1 u g 1 Dec 31 23:50 x", file("x", 1, utc(2023, 12, 31, 23, 50), Minutes), NewYear2024},
    {"newyear", "-rw-r--r-- 1 u g 1 Jan  1 10:00 x", file("x", 1, utc(2024, 1, 1, 10, 0), Minutes), NewYear2024},
    {"newyear", "-rw-r--r-- 1 u g 1 Jan  2 00:30 x", file("x", 1, utc(2024, 1, 2, 0, 30), Minutes), NewYear2024},
    {"newyear", "-rw-r--r-- 1 u g 1 Jan  2 00:31 x", file("x", 1, utc(2023, 1, 2, 0, 31), Minutes), NewYear2024},
    {"newyear", "-rw-r--r-- 1 u g 1 Jan  1 00:00 x", file("x", 1, utc(2024, 1, 1, 0, 0), Minutes), NewYearsEve},
    {"newyear", "-rw-r--r-- 1 u g 1 Jan  1 00:01 x", file("x", 1, utc(2023, 1, 1, 0, 1), Minutes), NewYearsEve},
    {"newyear", "-rw-r--r-- 1 u g 1 Jan  1 12:00 x", file("x", 1, utc(2023, 1, 1, 12, 0), Minutes), NewYearsEve},
    {"newyear", "-rw-r--r-- 1 u g 1 Dec 31 23:59 x", file("x", 1, utc(2023, 12, 31, 23, 59), Minutes), NewYearsEve},
};

const Row mlsd_rows[] = {
    {"ProFTPD", "modify=20230314091200;perm=adfrw;size=1234;type=file;unique=803U1A2B;UNIX.group=1000;UNIX.mode=0644;UNIX.owner=1000; file.txt", file("file.txt", 1234, Mar14Of2023, Seconds)},
    {"ProFTPD", "modify=20230314091200;perm=adfr;size=7;type=OS.unix=symlink;unique=803U1A2C; link", link("link", 7, Mar14Of2023, Seconds)},
    {"ProFTPD", "modify=20230314091200;perm=flcdmpe;type=cdir;unique=803U2; .", skipped},
    {"ProFTPD", "modify=20230314091200;perm=flcdmpe;type=pdir;unique=803U1; ..", skipped},
    {"PureFTPd", "type=OS.unix=slink:/etc/target;size=11;modify=20230314091200;UNIX.mode=0777; link2", link("link2", 11, Mar14Of2023, Seconds)},
    {"mlsd", "type=dir;size=4096;modify=20230314091200; sized dir", folder("sized dir", Mar14Of2023, Seconds)},
    {"PureFTPd", "type=dir;sizd=4096;modify=20230314091200;UNIX.mode=0755; sub dir", folder("sub dir", Mar14Of2023, Seconds)},
    {"pyftpdlib", "type=file;size=0;perm=r;modify=20230101123456;unique=8011f2b2c; empty", file("empty", 0, Jan1Of2023, Seconds)},
    {"FileZilla", "type=file;size=5368709120;modify=20230101123456.789;perms=awrfd; big file.iso", file("big file.iso", 5368709120, Jan1Of2023, Seconds)},
    {"IIS", "Type=dir;Modify=20230101123456.123; Some Folder", folder("Some Folder", Jan1Of2023, Seconds)},
    {"mlsd", "TYPE=FILE;SIZE=1;MODIFY=20230101123456; upper", file("upper", 1, Jan1Of2023, Seconds)},
    {"mlsd", "type=file;size=3; no date", file("no date", 3, 0, Seconds)},
    {"mlsd", "type=file;size=1;modify=2023; short date", file("short date", 1, 0, Seconds)},
    {"mlsd", "type=file;size=1;modify=20230230000000; no such day", file("no such day", 1, 0, Seconds)},
    {"mlsd", "type=file;size=1;modify=20161231235960; leap second", file("leap second", 1, utc(2017, 1, 1), Seconds)},
    {"mlsd", "type=file;size=1;  lead ", file(" lead ", 1, 0, Seconds)},
    {"mlsd", "type=file;size=1; a;b=c d", file("a;b=c d", 1, 0, Seconds)},
    {"mlsd", "type=file;size=1 nospace", file("nospace", 1, 0, Seconds)},
    {"mlsd", "type=file;size=1; a/b", skipped},
    {"mlsd", "type=file;size=1; a\0b"sv, skipped},
    {"mlsd", "type=file;size=1; ", skipped},
    {"mlsd", "type=file;size=1;", skipped},
    {"mlsd", "size=1;modify=20230101123456; no type", skipped},
    {"mlsd", "type=OS.unix=chr-1/3;modify=20230101123456; null", skipped},
    {"mlsd", "type=file;size=12a; bad size", skipped},
    {"mlsd", "type=file;size=18446744073709551616; overflow", skipped},
    {"mlsd", "", skipped},
};
// clang-format on

class FtpListLines : public testing::TestWithParam<Row> {};
class FtpListMlsdLines : public testing::TestWithParam<Row> {};

TEST_P(FtpListLines, GiveTheListedItem) {
    EXPECT_EQ(describe(parse_list_line(GetParam().line, GetParam().now)),
              describe(GetParam().expected));
}

TEST_P(FtpListMlsdLines, GiveTheListedItem) {
    EXPECT_EQ(describe(parse_mlsd_line(GetParam().line)), describe(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(FtpListServers, FtpListLines, testing::ValuesIn(list_rows), row_name);
INSTANTIATE_TEST_SUITE_P(FtpListServers, FtpListMlsdLines, testing::ValuesIn(mlsd_rows), row_name);

TEST(FtpListListing, SplitsLinesAndReportsRefusedNames) {
    const std::string_view reply =
        "total 8\r\n"
        "drwxr-xr-x 2 u g 4096 Mar 14 09:12 .\r\n"
        "drwxr-xr-x 2 u g 4096 Mar 14 09:12 sub\r\n"
        "-rw-r--r-- 1 u g 5 Mar 14 09:12 ../escape\n"
        "\r\n"
        "-rw-r--r-- 1 u g 5 Mar 14 09:12 nul\0name\n"
        "-rw-r--r-- 1 u g 5 Mar 14 09:12 last"sv;
    std::vector<std::string> refused;
    const auto items = parse_listing(reply, false, June2024,
                                     [&](std::string_view name) { refused.emplace_back(name); });
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].name, "last");
    EXPECT_EQ(refused, (std::vector<std::string>{"../escape", "nul\0name"s}));
}

TEST(FtpListTimes, AgreeWithinTheListedPrecision) {
    struct Case {
        std::int64_t catalog;
        std::int64_t listed;
        Precision precision;
        bool agree;
    } cases[] = {
        {Mar14Of2023, Mar14Of2023, Seconds, true},
        {Mar14Of2023 + 1, Mar14Of2023, Seconds, false},
        {Mar14Of2023 - 1, Mar14Of2023, Seconds, false},
        {Mar14Of2023 + 59, Mar14Of2023, Minutes, true},
        {Mar14Of2023 + 60, Mar14Of2023, Minutes, false},
        {Mar14Of2023 - 1, Mar14Of2023, Minutes, false},
        {utc(2022, 12, 31, 23, 59) + 59, utc(2022, 12, 31), Days, true},
        {utc(2023, 1, 1), utc(2022, 12, 31), Days, false},
        {utc(2022, 12, 31) - 1, utc(2022, 12, 31), Days, false},
        {-1, -60, Minutes, true},
        {0, -60, Minutes, false},
        {-61, -60, Minutes, false},
        {-1, -86400, Days, true},
        {-86401, -86400, Days, false},
        {0, 0, Seconds, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.catalog) + " vs " + std::to_string(c.listed));
        EXPECT_EQ(times_agree(c.catalog, file("x", 1, c.listed, c.precision)), c.agree);
    }
}

std::string random_line(std::mt19937& random) {
    // clang-format off
    static const std::string_view pieces[] = {"-rw-r--r--", "drwxr-xr-x", "lrwxrwxrwx", "<DIR>", "Mar", "Feb", "29", "31", "09:12", "12:00PM", "2020", "01-02-23", "12-31-2022", "99999999999999999999", "type=file;", "size=", "modify=20230101123456.", "Type=dir;", " -> ", ";", "=", "/", "\0"sv, "\r", " ", "  ", ".", "..", "x"};
    // clang-format on
    std::string line;
    const auto count = random() % 12;
    for (unsigned i = 0; i < count; ++i) {
        if (random() % 4 == 0)
            line += static_cast<char>(random() % 256);
        else
            line += pieces[random() % std::size(pieces)];
        if (random() % 2 == 0)
            line += ' ';
    }
    return line;
}

void expect_usable(const std::optional<FtpListItem>& item) {
    if (!item)
        return;
    EXPECT_FALSE(item->name.empty());
    EXPECT_NE(item->name, ".");
    EXPECT_NE(item->name, "..");
    EXPECT_EQ(item->name.find('/'), std::string::npos);
    EXPECT_EQ(item->name.find('\0'), std::string::npos);
}

TEST(FtpListGarbage, NeverCrashesAndNeverReturnsAnUnsafeName) {
    std::mt19937 random(6);
    const std::int64_t nows[] = {June2024, 0, -1, std::numeric_limits<std::int64_t>::min(),
                                 std::numeric_limits<std::int64_t>::max()};
    std::vector<std::string> lines;
    const auto add_cut = [&](const Row& row) {
        for (std::size_t length = 0; length <= row.line.size(); ++length)
            lines.emplace_back(row.line.substr(0, length));
    };
    std::ranges::for_each(list_rows, add_cut);
    std::ranges::for_each(mlsd_rows, add_cut);
    while (lines.size() < 20000) lines.push_back(random_line(random));
    for (const std::string& line : lines) {
        expect_usable(parse_list_line(line, nows[random() % std::size(nows)]));
        expect_usable(parse_mlsd_line(line));
    }
    std::string reply;
    for (const std::string& line : lines) reply += line + "\n";
    EXPECT_NO_THROW(parse_listing(reply, false, June2024, [](std::string_view) {}));
    EXPECT_NO_THROW(parse_listing(reply, true, June2024, [](std::string_view) {}));
}

}  // namespace
}  // namespace tovan
