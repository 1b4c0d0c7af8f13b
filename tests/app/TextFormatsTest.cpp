#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "app/TextFormats.h"
#include "app/TimeText.h"

namespace tovan {
namespace {

TEST(TextFormats, SizesSpeedsAndProgressStepUpAtEachPowerOf1024) {
    const std::pair<std::string, std::string> table[] = {
        {size_text(1023), "1023 Bytes"},
        {size_text(1024), "1.0 KB"},
        {size_text(1048576), "1.0 MB"},
        // Divided in single precision: 2^24 + 1 bytes reads as exactly 16 MB.
        {size_text(16777217), "16.0 MB"},
        {speed_text(2048), "2.0 KB/S"},
        {size_difference_text(1536, 1024), "+512 Bytes"},
        {short_size_text(1536), "1 kb"},
        {short_size_text(3 * 1048576 - 1), "2 mb"},
        {progress_text(45, 12.5, 3), "45.0(12.5)%"},
        {progress_text(-1, 30, 2), "?(30.0)%"},
        {progress_text(99.96, 0, 2), "100.0(0.0)%"},
    };
    for (const auto& [made, expected] : table) EXPECT_EQ(made, expected);
}

TEST(TextFormats, TimesReadAsSortableLocalDatesAndIsoWithTheZone) {
    ::setenv("TZ", "CET-1", 1);
    ::tzset();
    const std::int64_t time = 1796651110;
    const std::pair<std::string, std::string> table[] = {
        {date_text(time), "2026-12-07 14:45"},
        {stamp_text(time), "2026-12-07 14:45:10"},
        {iso_time_text(time), "2026-12-07T14:45:10+01:00"},
        {date_text(0), ""},
        {iso_time_text(0), ""},
        {duration_text(7), "0:07"},
        {duration_text(3723), "1:02:03"},
    };
    ::unsetenv("TZ");
    ::tzset();
    for (const auto& [made, expected] : table) EXPECT_EQ(made, expected);
}

}  // namespace
}  // namespace tovan
