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

// What a listing made of the row's lines gave: its one item, or why it gave none.
std::string describe_listing(std::string_view reply, std::int64_t now) {
    std::string outcome;
    const auto items = parse_listing(
        reply, false, now, [&](std::string_view) { outcome = "refused"; },
        [&](std::string_view) { outcome = "unreadable"; });
    if (items.size() > 1)
        return std::to_string(items.size()) + " items";
    if (items.empty())
        return outcome.empty() ? "skipped" : outcome;
    return describe(items.front()) + (outcome.empty() ? "" : " and " + outcome);
}

struct Row {
    const char* family;
    std::string_view line;
    std::optional<FtpListItem> expected;
    std::int64_t now = June2024;
    const char* outcome = nullptr;  // without an item: "skipped", "refused" or "unreadable"
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.line;
}

std::string row_name(const testing::TestParamInfo<Row>& info) {
    return std::string(info.param.family) + "_" + std::to_string(info.index);
}

constexpr auto Now = June2024;
const char* const Unreadable = "unreadable";
const char* const Refused = "refused";

// clang-format off
const Row list_rows[] = {
    // Unix ls -l and its dialects
    {"unix", "drwxr-xr-x    2 ftp      ftp          4096 Mar 14 09:12 pub", folder("pub", utc(2024, 3, 14, 9, 12), Minutes)},
    {"unix", "-rw-r--r--    1 1000     1000      5368709120 Jan 05  2021 disk.img", file("disk.img", 5368709120, utc(2021, 1, 5), Days)},
    {"unix", "lrwxrwxrwx    1 0        0               7 Jan 01  2020 link -> target", link("link", 7, utc(2020, 1, 1), Days)},
    {"unix", "-rw-r--r--   1 0        0        1234567 Dec 31  2022 file name with  spaces ", file("file name with  spaces ", 1234567, utc(2022, 12, 31), Days)},
    {"unix", "drwxr-xr-x   2 ftp      ftp          4096 Jun  2 10:00 tomorrow", folder("tomorrow", utc(2024, 6, 2, 10, 0), Minutes)},
    {"unix", "drwxr-xr-x   2 ftp      ftp          4096 Jun  3 10:00 two days ahead", folder("two days ahead", utc(2023, 6, 3, 10, 0), Minutes)},
    {"unix", "-rw-r--r--+  1 ftp      ftp             5 Mar 14 09:12 acl", file("acl", 5, utc(2024, 3, 14, 9, 12), Minutes)},
    {"unix", "-rw-r--r--    1 1000       1000             1 Feb 29 08:00 leap day", file("leap day", 1, utc(2024, 2, 29, 8, 0), Minutes), June2024 + 3 * 365 * 86400},
    {"unix", "-rw-r--r--   1 owner        1234 Mar 14 09:12 no group", file("no group", 1234, utc(2024, 3, 14, 9, 12), Minutes)},
    {"unix", "-rw-r--r-- 12 Jan  1 2020 no owner", file("no owner", 12, utc(2020, 1, 1), Days)},
    {"unix", "-rw-r--r--   1 someowner somegroup123456789 Jan 05  2021 crowded", file("crowded", 123456789, utc(2021, 1, 5), Days)},
    {"unix", "-rw-r--r--   1 user  DOMAIN\\Domain Users   1234 Jan 05  2021 domain", file("domain", 1234, utc(2021, 1, 5), Days)},
    {"unix", "-rw-r--r--   1 u g 33.5k Mar 14 09:12 unit", file("unit", 34304, utc(2024, 3, 14, 9, 12), Minutes)},
    {"unix", "-rw-r--r-- 1 u g 7 03-14 09:12 month day", file("month day", 7, utc(2024, 3, 14, 9, 12), Minutes)},
    {"unix", "-rw-r--r-- 1 u g 7 03-14 2020 month day year", file("month day year", 7, utc(2020, 3, 14), Days)},
    {"unix", "-rw-r--r-- 1 u g 7 2005-06-07 21:22 long iso", file("long iso", 7, utc(2005, 6, 7, 21, 22), Minutes)},
    {"unix", "-rw-r--r-- 1 u g 7 2005-06-07 21:22:33.123456789 +0200 full iso", file("full iso", 7, utc(2005, 6, 7, 19, 22) + 33, Seconds)},
    {"unix", "-rw-r--r-- 1 u g 7 2005/06/07 slashes", file("slashes", 7, utc(2005, 6, 7), Days)},
    {"unix", "-rw-r--r-- 1 u g 7 07-06-2005 10:00 day first", file("day first", 7, utc(2005, 6, 7, 10, 0), Minutes)},
    {"unix", "-rw-r--r-- 1 u g 7 2005.06.07 dots", file("dots", 7, utc(2005, 6, 7), Days)},
    {"unix", "-rw-r--r-- 1 u g 7 07-Jun-05 named month", file("named month", 7, utc(2005, 6, 7), Days)},
    {"unix", "-rw-r--r-- 1 u g 7 01 oct 2004 swapped", file("swapped", 7, utc(2004, 10, 1), Days)},
    {"unix", "-rw-r--r-- 1 u g 7 Oct 08, 2002 09:47 year and time", file("year and time", 7, utc(2002, 10, 8, 9, 47), Minutes)},
    {"german", "-rw-r--r-- 1 u g 7 14. Mär 09:12 datei", file("datei", 7, utc(2024, 3, 14, 9, 12), Minutes)},
    {"french", "-rw-r--r-- 1 u g 7 14 févr. 2020 fichier", file("fichier", 7, utc(2020, 2, 14), Days)},
    {"spanish", "-rw-r--r-- 1 u g 7 ene  5  2021 archivo", file("archivo", 7, utc(2021, 1, 5), Days)},
    {"italian", "-rw-r--r-- 1 u g 7 mag  3 09:12 documento", file("documento", 7, utc(2024, 5, 3, 9, 12), Minutes)},
    {"dutch", "-rw-r--r-- 1 u g 7 mrt 14 09:12 bestand", file("bestand", 7, utc(2024, 3, 14, 9, 12), Minutes)},
    {"japanese", "-rw-r--r-- 1 u g 7  3月 14日 09:12 ファイル", file("ファイル", 7, utc(2024, 3, 14, 9, 12), Minutes)},
    {"korean", "-rw-r--r-- 1 u g 7 10월  8 2002 파일", file("파일", 7, utc(2002, 10, 8), Days)},
    {"chinese", "-rw-r--r-- 1 u g 7 2002年10月8日 文件", file("文件", 7, utc(2002, 10, 8), Days)},
    {"numeric", "100644 1 u g 7 Mar 14 09:12 mode", file("mode", 7, utc(2024, 3, 14, 9, 12), Minutes)},
    {"numeric", "40755 2 u g 4096 Mar 14 09:12 mode dir", folder("mode dir", utc(2024, 3, 14, 9, 12), Minutes)},
    {"netware", "d [RWCEAFMS] supervisor            512       Jan 16 18:53    login", folder("login", utc(2024, 1, 16, 18, 53), Minutes)},
    {"netware", "- [R----F--] rhesus             214059       Oct 20 15:27    cx.exe", file("cx.exe", 214059, utc(2023, 10, 20, 15, 27), Minutes)},
    {"vshell", "-rwxr-xr-x   1 1        1            1 Jun  9  2002 vshell.txt", file("vshell.txt", 1, utc(2002, 6, 9), Days)},
    {"connect", "-C--E-----FTP B QUA1I1      18128       41 Aug 12 13:56 QUADTEST", file("QUADTEST", 41, utc(2023, 8, 12, 13, 56), Minutes)},
    {"unix", "-rw-r--r-- 1 u g 5 Mar 14 09:12 Jan 1 2020 x", file("Jan 1 2020 x", 5, utc(2024, 3, 14, 9, 12), Minutes)},
    {"unix", "-rw-r--r-- 1 u g 5 Mar 14 09:12  lead", file(" lead", 5, utc(2024, 3, 14, 9, 12), Minutes)},
    {"unix", "-rw-r--r-- 1 u g 18446744073709551615 MAR 14 09:12 max", file("max", 18446744073709551615u, utc(2024, 3, 14, 9, 12), Minutes)},
    {"unix", "total 12", skipped},
    {"unix", "crw-rw-rw-    1 0        0           1,   3 Mar 14 09:12 null", skipped},
    {"unix", "drwxr-xr-x 2 u g 4096 Mar 14 09:12 ..", skipped},
    {"unix", "-rw-r--r-- 1 u g 5 Mar 14 09:12 a/b", skipped, Now, Refused},
    {"unix", "-rw-r--r-- 1 u g 5 Mar 14 09:12 a\0b"sv, skipped, Now, Refused},
    {"unix", "-rw-r--r-- 1 u g 5 Mar 14 09:12", skipped, Now, Unreadable},
    {"unix", "-rw-r--r-- 1 u g 18446744073709551616 Mar 14 09:12 overflow", skipped, Now, Unreadable},
    {"unix", "-rw-r--r-- 1 u g 5 Mar 32 09:12 x", skipped, Now, Unreadable},
    {"unix", "-rw-r--r-- 1 u g 5 Foo 14 09:12 x", skipped, Now, Unreadable},
    {"unix", "-rw-r--r-- 1 u g 5 Feb 30  2020 x", skipped, Now, Unreadable},
    {"unix", "-rw-r--r-- 1 u g -5 Mar 14 09:12 x", skipped, Now, Unreadable},
    // Around New Year: the latest such date at most one day after now.
    {"newyear", "-rw-r--r-- 1 u g 1 Dec 31 23:50 x", file("x", 1, utc(2023, 12, 31, 23, 50), Minutes), NewYear2024},
    {"newyear", "-rw-r--r-- 1 u g 1 Jan  2 00:30 x", file("x", 1, utc(2024, 1, 2, 0, 30), Minutes), NewYear2024},
    {"newyear", "-rw-r--r-- 1 u g 1 Jan  2 00:31 x", file("x", 1, utc(2023, 1, 2, 0, 31), Minutes), NewYear2024},
    {"newyear", "-rw-r--r-- 1 u g 1 Jan  1 00:01 x", file("x", 1, utc(2023, 1, 1, 0, 1), Minutes), NewYearsEve},
    // Windows / IIS
    {"iis", "01-02-23  10:15AM       <DIR>          Some Folder", folder("Some Folder", utc(2023, 1, 2, 10, 15), Minutes)},
    {"iis", "12-31-2022  11:59PM            123456 name with  spaces ", file("name with  spaces ", 123456, utc(2022, 12, 31, 23, 59), Minutes)},
    {"iis", "03-14-24  12:05AM                 1 midnight.txt", file("midnight.txt", 1, utc(2024, 3, 14, 0, 5), Minutes)},
    {"iis", "06-15-69  08:00PM                 0 late.txt", file("late.txt", 0, utc(2069, 6, 15, 20, 0), Minutes)},
    {"iis", "03-14-24  21:12                  10 clock24.txt", file("clock24.txt", 10, utc(2024, 3, 14, 21, 12), Minutes)},
    {"iis", "2002-09-02  19:06                9,730 iso.txt", file("iso.txt", 9730, utc(2002, 9, 2, 19, 6), Minutes)},
    {"iis", "03-14-24  13:12PM                10 bad hour", skipped, Now, Unreadable},
    {"iis", "03-14-24  09:12AM       <JUNCTION>     other", skipped},
    // EPLF
    {"eplf", "+i8388621.48594,m825718503,r,s280,\tdjb.html", file("djb.html", 280, 825718503, Seconds)},
    {"eplf", "+i8388621.50690,m824255907,/,\t514", folder("514", 824255907, Seconds)},
    {"eplf", "+i8388621.44468,m839956783,\tneither", skipped},
    // VMS
    {"vms", "CORE.DIR;1          1/3        8-DEC-2002 09:12:33  [SYSTEM]  (RWE,RWE,RE,RE)", folder("CORE", utc(2002, 12, 8, 9, 12) + 33, Seconds)},
    {"vms", "README.TXT;12   8   21-MAR-2002 10:43  [GROUP,OWNER]  (RWED,RWED,RE,)", file("README.TXT", 4096, utc(2002, 3, 21, 10, 43), Minutes)},
    {"vms", "DATA.BIN;3  12-JAN-2003  [USER]  120/150  (RWED,RWED,,)", file("DATA.BIN", 61440, utc(2003, 1, 12), Days)},
    {"vms", "BIG.ISO;1  1.5MB  3-APR-2004 11:00:00 [USER]", file("BIG.ISO", 1572864, utc(2004, 4, 3, 11, 0), Seconds)},
    {"vms", "A_NAME_THAT_FILLS_THE_WHOLE_COLUMN.TXT;1\n          2/4   1-MAY-2005 12:00 [USER]\n  (RWED,RWED,,)", file("A_NAME_THAT_FILLS_THE_WHOLE_COLUMN.TXT", 1024, utc(2005, 5, 1, 12, 0), Minutes)},
    {"vms", "Directory DISK$USER:[ANNA]\n\nTotal of 3 files, 12/20 blocks.", skipped},
    {"vms", "SECRET.DAT;1  %RMS-E-PRV, insufficient privilege", skipped, Now, Unreadable},
    // OS/2
    {"os2", "     0           DIR   05-12-97   16:44  PSFONTS", folder("PSFONTS", utc(1997, 5, 12, 16, 44), Minutes)},
    {"os2", "  36611      A    04-23-103  10:57  OS2 test1.file", file("OS2 test1.file", 36611, utc(2003, 4, 23, 10, 57), Minutes)},
    // IBM AS/400
    {"as400", "QSYS            77824 02/23/00 15:09:55 *DIR       QSYS/", folder("QSYS", utc(2000, 2, 23, 15, 9) + 55, Seconds)},
    {"as400", "QDOC            24576 09.05.03 14:32:13 *STMF      readme.txt", file("readme.txt", 24576, utc(2003, 5, 9, 14, 32) + 13, Seconds)},
    {"as400", "QPGMR                                     *MEM       QGPL.LIB/QCLSRC.FILE/A.MBR", skipped, Now, Refused},
    // MVS and z/OS
    {"mvs", "Volume Unit    Referred Ext Used Recfm Lrecl BlkSz Dsorg Dsname", skipped},
    {"mvs", "WYOSPT 3420   2003/05/21  1  200  FB      80  8053  PS  USER.DATA.FILE", file("USER.DATA.FILE", 0, utc(2003, 5, 21), Days)},
    {"mvs", "WPTA01 3390   2004/03/04  1    3  FB      80  3125  PO  USER.SOURCE", folder("USER.SOURCE", utc(2004, 3, 4), Days)},
    {"mvs", "Migrated                                                USER.OLD.FILE", file("USER.OLD.FILE", 0, 0, Days)},
    {"mvs", "TESTMEM1  01.03 2002/09/12 2002/09/19 13:39    12    12     0 USERID", file("TESTMEM1", 12, utc(2002, 9, 19, 13, 39), Minutes)},
    // OS-9
    {"os9", "  0.0      03/08/22 0931  ------wr    11ED      1424 name.txt", file("name.txt", 1424, utc(2003, 8, 22, 9, 31), Minutes)},
    {"os9", "  0.0      03/08/22 0931  d-----wr    11EE        64 SYS", folder("SYS", utc(2003, 8, 22, 9, 31), Minutes)},
    // VxWorks
    {"vxworks", "      3342    SEP-28-2004  15:16:58   file.txt", file("file.txt", 3342, utc(2004, 9, 28, 15, 16) + 58, Seconds)},
    {"vxworks", "       512    JAN-01-1980  00:00:00   bin         <DIR>", folder("bin", utc(1980, 1, 1), Seconds)},
    // HP NonStop
    {"nonstop", "ALIAS        101             1024  19-Dec-02 14:46:58 255,255 \"oooo\"", file("ALIAS", 1024, utc(2002, 12, 19, 14, 46) + 58, Seconds)},
    // Not a listing line at all
    {"garbage", "this is not a listing line", skipped, Now, Unreadable},
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
    const Row& row = GetParam();
    EXPECT_EQ(describe_listing(row.line, row.now),
              row.expected || !row.outcome ? describe(row.expected) : row.outcome);
}

TEST_P(FtpListMlsdLines, GiveTheListedItem) {
    EXPECT_EQ(describe(parse_mlsd_line(GetParam().line)), describe(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(FtpListServers, FtpListLines, testing::ValuesIn(list_rows), row_name);
INSTANTIATE_TEST_SUITE_P(FtpListServers, FtpListMlsdLines, testing::ValuesIn(mlsd_rows), row_name);

TEST(FtpListListing, ReadsMixedFormsAndReportsWhatItCannotRead) {
    const std::string_view reply =
        "total 8\r\n"
        "drwxr-xr-x 2 u g 4096 Mar 14 09:12 .\r\n"
        "drwxr-xr-x 2 u g 4096 Mar 14 09:12 sub\r\n"
        "-rw-r--r-- 1 u g 5 Mar 14 09:12 ../escape\n"
        "\r\n"
        "03-14-24  09:12AM                10 windows.txt\n"
        "-rw-r--r-- 1 u g 5 Mar 14 09:12 nul\0name\n"
        "-rw-r--r-- 1 u g 5 Foo 14 09:12 garbled\n"
        "-rw-r--r-- 1 u g 5 2024-03-14 09:12 last"sv;
    std::vector<std::string> refused, unreadable;
    const auto items = parse_listing(
        reply, false, June2024, [&](std::string_view name) { refused.emplace_back(name); },
        [&](std::string_view line) { unreadable.emplace_back(line); });
    std::vector<std::string> names;
    for (const FtpListItem& item : items) names.push_back(item.name);
    EXPECT_EQ(names, (std::vector<std::string>{"sub", "windows.txt", "last"}));
    EXPECT_EQ(refused, (std::vector<std::string>{"../escape", "nul\0name"s}));
    EXPECT_EQ(unreadable, (std::vector<std::string>{"-rw-r--r-- 1 u g 5 Foo 14 09:12 garbled"}));
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
        // The catalog's time came from a coarser listing than this one.
        {utc(2022, 12, 31), utc(2022, 12, 31, 9, 12), Minutes, true},
        {Mar14Of2023, Mar14Of2023 + 33, Seconds, true},
        {Mar14Of2023, Mar14Of2023 + 60, Seconds, false},
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
