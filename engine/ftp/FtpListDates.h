#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/ftp/FtpListText.h"

// The dates and clocks of LIST lines. Each form keeps the precision it really carries: a
// clock to the minute or the second, or only the day.
namespace tovan::ftp_list {

using Precision = FtpListItem::Precision;
constexpr std::int64_t SecondsPerDay = 86400;

struct ListedTime {
    std::int64_t time = 0;
    Precision precision = Precision::Seconds;
};

// year 0: the line gave none, so the listing's "now" decides it.
struct CalendarDay {
    int year = 0;
    int month = 0;
    int day = 0;
};

struct Clock {
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool has_seconds = false;
};

std::optional<std::int64_t> utc_seconds(int year, int month, int day, int hour, int minute,
                                        int second);
// "Mar", "MAR", "March", and the short and long names of the languages servers are set to,
// with or without a dot: "Mär", "févr.", "ene", "mag", "mrt", "okt", "dez", ...
std::optional<int> month_number(std::string_view name);
// "9:05", "09:05", "09:05:33" or "09:05:33.25", 24 hours.
std::optional<Clock> parse_clock(std::string_view text);
// Four digits, or two (70 to 99 are 19xx, the rest 20xx), or three counting from 1900.
std::optional<int> full_year(std::string_view digits);
// One field holding a whole day: "2005-06-07", "2005/06/07", "2005.06.07", "07-06-2005",
// "07.06.2005", "06/07/2005", "07-Jun-05", "JUN-07-2005", "2005年6月7日", or "06-07"
// without a year.
std::optional<CalendarDay> parse_day_field(std::string_view text);
// Two numbers of two digits and a year: "04-23-97", "02/23/00", "23.02.00", "12-31-2022";
// OS/2 writes years after 1999 with three digits ("04-23-103"). Which of the two numbers is
// the month is the caller's to know.
struct ShortDate {
    int first = 0;
    int second = 0;
    int year = 0;
    char separator = 0;
};
std::optional<ShortDate> short_date(std::string_view text);

// The day at the clock (none: the day alone); a day without a year needs a clock, and takes
// the latest year that puts it at most a day after `now`.
std::optional<ListedTime> listed_time(CalendarDay day, std::optional<Clock> clock,
                                      std::int64_t now);

// A date as `ls` prints it in any locale, starting at fields[at]: "Mar 14 09:12",
// "Mar 14 2020", "Oct 08, 2002 09:47", "01 oct 2004", "14. Mär 09:12", "3月 14日 09:12",
// "2005-06-07 21:22", "2005-06-07 21:22:33.5 +0200", "06-07 21:22", "07-Jun-05", ...
struct DateRun {
    ListedTime time;
    std::size_t end = 0;  // the first field after the date
};
std::optional<DateRun> read_date_run(const Fields& fields, std::size_t at, std::int64_t now);

}  // namespace tovan::ftp_list
