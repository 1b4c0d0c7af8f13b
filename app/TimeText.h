#pragma once

#include <cstdint>
#include <string>

namespace tovan {

// Times as output that people and programs read back: fixed-width local dates
// that sort as text, and ISO 8601 with the zone for programs. A time of 0 means
// "not known" and gives an empty text. Examples: tests/app/TextFormatsTest.cpp.

// "2026-12-07 13:45", local time.
std::string date_text(std::int64_t time);
// "2026-12-07 13:45:10", local time: the stamp of a line in a long-running log.
std::string stamp_text(std::int64_t time);
// "2026-12-07T13:45:10+01:00", local time with its offset from UTC.
std::string iso_time_text(std::int64_t time);
// A length of time: "0:07", "12:30", "1:02:03"; hours grow as needed.
std::string duration_text(std::int64_t seconds);

}  // namespace tovan
