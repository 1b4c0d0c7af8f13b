#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "app/TextFormats.h"

namespace tovan {
namespace {

TEST(TextFormats, SizesSpeedsAndProgressStepUpAtEachPowerOf1024) {
    const std::pair<std::string, std::string> table[] = {
        {size_text(0), "0 Bytes"},
        {size_text(1023), "1023 Bytes"},
        {size_text(1024), "1.0 KB"},
        {size_text(1536), "1.5 KB"},
        {size_text(1048575), "1024.0 KB"},
        {size_text(1048576), "1.0 MB"},
        {size_text(1073741824), "1.0 GB"},
        {size_text(5LL * 1073741824 * 1024), "5120.0 GB"},
        {size_text(-5000), "-5000 Bytes"},
        // Divided in single precision: 2^24 + 1 bytes reads as exactly 16 MB.
        {size_text(16777217), "16.0 MB"},
        {size_text(0x7FFFFFFFFFFFFFFFLL), "8589934592.0 GB"},
        {speed_text(512), "512 B/S"},
        {speed_text(2048), "2.0 KB/S"},
        {speed_text(3145728), "3.0 MB/S"},
        {speed_text(1073741824), "1.0 GB/S"},
        {size_difference_text(1536, 1024), "+512 Bytes"},
        {size_difference_text(1024, 3072), "-2.0 KB"},
        {size_difference_text(700, 700), "-0 Bytes"},
        // In search results: whole units, truncated.
        {short_size_text(1023), "1023 b"},
        {short_size_text(1536), "1 kb"},
        {short_size_text(1048575), "1023 kb"},
        {short_size_text(3 * 1048576 - 1), "2 mb"},
        {short_size_text(1073741824), "1 gb"},
        // The current file shows only for jobs of several files.
        {progress_text(45, 12.5, 3), "45.0(12.5)%"},
        {progress_text(45, 12.5, 1), "45.0%"},
        {progress_text(45, -1, 3), "45.0%"},
        {progress_text(-1, 30, 2), "?(30.0)%"},
        {progress_text(-1, -1, 1), "?%"},
        {progress_text(99.96, 0, 2), "100.0(0.0)%"},
    };
    for (const auto& [made, expected] : table) EXPECT_EQ(made, expected);
}

TEST(TextFormats, TimesReadInLocalTimeAndAChangedOneIsStarred) {
    const char* old_tz = std::getenv("TZ");
    const std::string saved = old_tz != nullptr ? old_tz : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(time_text(0), "Thu Jan  1 00:00:00 1970");
    EXPECT_EQ(time_text(1700000000, true), "*Tue Nov 14 22:13:20 2023");
    ::setenv("TZ", "UTC-2", 1);
    ::tzset();
    EXPECT_EQ(time_text(0), "Thu Jan  1 02:00:00 1970");
    if (old_tz != nullptr)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

}  // namespace
}  // namespace tovan
