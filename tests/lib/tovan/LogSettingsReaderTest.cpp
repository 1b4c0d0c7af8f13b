#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tovan/log/ChannelTable.h"
#include "tovan/log/LogSettingsReader.h"

namespace tovan {
namespace {

constexpr std::int32_t Max = VerbositySettings::Unlimited;

struct Read {
    ChannelTable table;
    std::string errors;
};

Read read(const std::string& text) {
    Read result;
    std::istringstream in(text);
    std::ostringstream errors;
    LogSettingsReader(result.table, errors).read(in, "ferrovane.log.ini");
    result.errors = errors.str();
    return result;
}

void expect_thresholds(const Read& read, const char* name, std::int32_t error, std::int32_t warning,
                       std::int32_t plain) {
    const VerbositySettings* settings = read.table.find(name);
    ASSERT_NE(settings, nullptr) << name;
    EXPECT_EQ(settings->thresholds[0], error) << name;
    EXPECT_EQ(settings->thresholds[1], warning) << name;
    EXPECT_EQ(settings->thresholds[2], plain) << name;
}

TEST(LogSettingsReader, LevelWordsBareValuesQuotedNamesCommentsAndSharedSettings) {
    const Read r = read(
        "[tovan.io]\n"
        "  error -3  warning=-1   information = -8\n"
        "[scanner] -5\n"
        "[scanner] +7  ; raises plain and warning again, error too\n"
        "[ftp] e -2 e 9 w -1 w *\n"
        "# comment\n"
        "/ another\n"
        "['quoted \\'name\\''] -2 # trailing\n"
        "[\"with ] bracket\"] -3\n"
        "[!] off\n"
        "[*] w -1\n");
    EXPECT_EQ(r.errors, "");
    expect_thresholds(r, "tovan.io", 2, 0, 7);
    expect_thresholds(r, "scanner", 7, 7, 7);
    expect_thresholds(r, "ftp", 9, Max, Max);
    expect_thresholds(r, "quoted 'name'", 1, 1, 1);
    expect_thresholds(r, "with ] bracket", 2, 2, 2);
    EXPECT_EQ(r.table.find("!")->disabled, 1);
    expect_thresholds(r, "*", Max, 0, Max);
}

// Each malformed line is named once, by its number, and the good one after still counts.
TEST(LogSettingsReader, MalformedLinesAreReportedWithTheirNumberAndSkipped) {
    const Read r =
        read("-4\n[io] -=3\n[io] error\n[io] verbose 3\n[io] = x\n[io\n[\"io] -1\n[io] -2\n");
    for (int line = 1; line <= 7; ++line)
        EXPECT_NE(r.errors.find("ferrovane.log.ini:" + std::to_string(line) + ": a"),
                  std::string::npos)
            << r.errors;
    EXPECT_EQ(r.errors.find(":8:"), std::string::npos) << r.errors;
    expect_thresholds(r, "io", 1, 1, 1);
}

}  // namespace
}  // namespace tovan
