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

TEST(LogSettingsReader, LevelWordsAndBareValues) {
    const Read r = read(
        "[tovan.io]\n"
        "  error -3  warning=-1   information = -8\n"
        "[scanner] -5\n"
        "[scanner] +7  ; raises plain and warning again, error too\n"
        "[ftp] e -2 e 9 w -1 w *\n");
    EXPECT_EQ(r.errors, "");
    expect_thresholds(r, "tovan.io", 2, 0, 7);
    expect_thresholds(r, "scanner", 7, 7, 7);
    expect_thresholds(r, "ftp", 9, Max, Max);
}

TEST(LogSettingsReader, QuotedNamesCommentsAndSharedSettings) {
    const Read r = read(
        "# comment\n"
        "/ another\n"
        "['quoted \\'name\\''] -2 # trailing\n"
        "[\"with ] bracket\"] -3\n"
        "[!] off\n"
        "[*] w -1\n");
    EXPECT_EQ(r.errors, "");
    expect_thresholds(r, "quoted 'name'", 1, 1, 1);
    expect_thresholds(r, "with ] bracket", 2, 2, 2);
    EXPECT_EQ(r.table.find("!")->disabled, 1);
    expect_thresholds(r, "*", Max, 0, Max);
    EXPECT_EQ(r.table.find("missing"), nullptr);
}

TEST(LogSettingsReader, MalformedLinesAreReportedWithTheirNumberAndSkipped) {
    const Read r = read(
        "-4\n"              // before any section
        "[io] -=3\n"        // sign before "="
        "[io] error\n"      // level word without value
        "[io] verbose 3\n"  // unknown word
        "[io] = x\n"        // not a number
        "[io\n"             // no closing bracket
        "[\"io] -1\n"       // no closing quote
        "[io] -2\n");
    EXPECT_EQ(
        r.errors,
        "ferrovane.log.ini:1: a setting before the first [channel]; the rest of the line is "
        "ignored\n"
        "ferrovane.log.ini:2: a sign before \"=\" (write \"= -3\"); the rest of the line is "
        "ignored\n"
        "ferrovane.log.ini:3: a level word without a value; the rest of the line is ignored\n"
        "ferrovane.log.ini:4: an unknown word (expected error, warning, info, off or on); the rest "
        "of the line is ignored\n"
        "ferrovane.log.ini:5: a value that is not a whole number or \"*\"; the rest of the line is "
        "ignored\n"
        "ferrovane.log.ini:6: a channel name without its \"]\"; the rest of the line is ignored\n"
        "ferrovane.log.ini:7: a channel name without its closing quote; the rest of the line is "
        "ignored\n");
    expect_thresholds(r, "io", 1, 1, 1);
}

}  // namespace
}  // namespace tovan
