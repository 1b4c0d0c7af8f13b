#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "app/TextFormats.h"

namespace tovan {
namespace {

TEST(TextFormats, SizesStepUpAtEachPowerOf1024WithOneDecimal) {
    EXPECT_EQ(size_text(0), "0 Bytes");
    EXPECT_EQ(size_text(1023), "1023 Bytes");
    EXPECT_EQ(size_text(1024), "1.0 KB");
    EXPECT_EQ(size_text(1536), "1.5 KB");
    EXPECT_EQ(size_text(1048575), "1024.0 KB");
    EXPECT_EQ(size_text(1048576), "1.0 MB");
    EXPECT_EQ(size_text(1073741824), "1.0 GB");
    EXPECT_EQ(size_text(5LL * 1073741824 * 1024), "5120.0 GB");
    EXPECT_EQ(size_text(-5000), "-5000 Bytes");
}

TEST(TextFormats, DivisionIsInSinglePrecision) {
    // 2^24 + 1 bytes is not a single-precision value: it reads as exactly 16 MB.
    EXPECT_EQ(size_text(16777217), "16.0 MB");
    EXPECT_EQ(size_text(0x7FFFFFFFFFFFFFFFLL), "8589934592.0 GB");
}

TEST(TextFormats, SpeedsUseTheSameSteps) {
    EXPECT_EQ(speed_text(512), "512 B/S");
    EXPECT_EQ(speed_text(2048), "2.0 KB/S");
    EXPECT_EQ(speed_text(3145728), "3.0 MB/S");
    EXPECT_EQ(speed_text(1073741824), "1.0 GB/S");
}

TEST(TextFormats, SizeDifferencesCarryTheirDirection) {
    EXPECT_EQ(size_difference_text(1536, 1024), "+512 Bytes");
    EXPECT_EQ(size_difference_text(1024, 3072), "-2.0 KB");
    EXPECT_EQ(size_difference_text(700, 700), "-0 Bytes");
    EXPECT_EQ("*" + size_text(1536) + "(" + size_difference_text(1536, 1024) + ")",
              "*1.5 KB(+512 Bytes)");
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

TEST(TextFormats, SearchSizesAreWholeUnitsTruncated) {
    EXPECT_EQ(short_size_text(1023), "1023 b");
    EXPECT_EQ(short_size_text(1536), "1 kb");
    EXPECT_EQ(short_size_text(1048575), "1023 kb");
    EXPECT_EQ(short_size_text(3 * 1048576 - 1), "2 mb");
    EXPECT_EQ(short_size_text(1073741824), "1 gb");
}

TEST(TextFormats, ProgressShowsTheCurrentFileOnlyForJobsOfSeveralFiles) {
    EXPECT_EQ(progress_text(45, 12.5, 3), "45.0(12.5)%");
    EXPECT_EQ(progress_text(45, 12.5, 1), "45.0%");
    EXPECT_EQ(progress_text(45, -1, 3), "45.0%");
    EXPECT_EQ(progress_text(-1, 30, 2), "?(30.0)%");
    EXPECT_EQ(progress_text(-1, -1, 1), "?%");
    EXPECT_EQ(progress_text(99.96, 0, 2), "100.0(0.0)%");
}

}  // namespace
}  // namespace tovan
