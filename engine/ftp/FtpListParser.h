#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovan {

// Reads the directory listings FTP servers send. MLSD lines are defined (exact sizes, UTC
// times to the second); LIST lines are whatever the server's system and locale print: `ls -l`
// in its many dialects, Windows, VMS, OS/2, NetWare, AS/400, MVS, OS-9, VxWorks, NonStop,
// EPLF. They give times to the second, the minute or only the day, without a time zone and
// often without the year, and one listing may mix forms. A line of each form we know of is a
// row of tests/engine/ftp/FtpListParserTest.cpp; a new form starts there.
//
// Names are kept as the bytes the server sent. A name containing "/" or a NUL is never
// returned: it could only be an attempt to reach outside the folder being listed.

struct FtpListItem {
    std::string name;
    bool folder = false;
    std::uint64_t size = 0;  // files and links; folders are always 0
    std::int64_t time = 0;   // seconds since 1970 UTC; 0 when the server gave none
    // How much of `time` the server really said: MLSD gives seconds, LIST the second, the
    // minute or only the day, as its form allows.
    enum class Precision { Seconds, Minutes, Days } precision = Precision::Seconds;
    // A symbolic link, delivered as a file (folder is false) with the size the server listed.
    bool link = false;
};

// One line of an MLSD reply: "fact=value;fact=value; name" (facts case-insensitive; type,
// size and modify=YYYYMMDDHHMMSS[.fff] read). Empty for lines to skip: ".", "..", cdir and
// pdir, lines without a known type, unparseable lines and names with "/" or a NUL.
std::optional<FtpListItem> parse_mlsd_line(std::string_view line);

// One line of a LIST reply in any form we know. `now` (seconds since 1970 UTC) picks the year
// of dates listed without one. Empty for lines to skip ("total 12", headings, ".", "..",
// devices, pipes, sockets, names with "/" or a NUL) and for lines it cannot read.
std::optional<FtpListItem> parse_list_line(std::string_view line, std::int64_t now);

// A whole reply, its lines ended by "\r\n" or "\n". Names skipped for containing "/" or a NUL
// go to `rejected`, and lines that could not be read at all to `unreadable` (the caller logs
// them: an entry the listing could not show may still be on the server).
std::vector<FtpListItem> parse_listing(
    std::string_view reply, bool mlsd, std::int64_t now,
    const std::function<void(std::string_view)>& rejected = {},
    const std::function<void(std::string_view)>& unreadable = {});

// Whether a catalog time and a listed time agree as far as the coarser of their precisions
// goes: a file listed to the minute matches any catalog time in that minute, one listed with
// only a date any time that UTC day; a catalog time on a whole minute or day, as a coarser
// listing leaves it, matches any listed time within it. A coarse listing, or a server that
// changes its form, thus never marks a file modified by itself.
bool times_agree(std::int64_t catalog_time, const FtpListItem& listed);

}  // namespace tovan
