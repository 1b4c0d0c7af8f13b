#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tovan/Utf8Case.h"
#include "tovan/Wildcard.h"

namespace tovan {
namespace {

// Invalid bytes, unknown scripts and NUL pass through unchanged.
TEST(Utf8Case, FoldsLatinGreekAndCyrillicLettersAndLeavesTheRestAlone) {
    const std::pair<std::string, std::string> pairs[] = {
        {"Hello WORLD 123", "hello world 123"},
        {"ÄÖÜ ÉÈ Ø Þ", "äöü éè ø þ"},
        {"ŁÓDŹ ČESKÝ", "łódź český"},
        {"ΑΒΓ ΆΈ", "αβγ άέ"},
        {"ПРИВЕТ ЁЖ Є", "привет ёж є"},
        {"ß × ÷", "ß × ÷"},
        {"A\xC3\x42\xFF\x80Z", "a\xC3\x62\xFF\x80z"},
        {"日本語 ＡＢ", "日本語 ＡＢ"},
        {std::string("a\0B", 3), std::string("a\0b", 3)}};
    for (const auto& [upper, lower] : pairs) EXPECT_EQ(to_lower_utf8(upper), lower);
    EXPECT_EQ(to_upper_utf8("äöü éè ø þ ÿ σς привет ёж"), "ÄÖÜ ÉÈ Ø Þ Ÿ ΣΣ ПРИВЕТ ЁЖ");
    // The letters' neighbours in ASCII stay as they are.
    EXPECT_EQ(to_upper_utf8("@az[`{/é-Mixed"), "@AZ[`{/É-MIXED");
    EXPECT_EQ(to_lower_utf8("@AZ[`{/É-Mixed"), "@az[`{/é-mixed");
}

// Each case is "pattern|text"; "é" is one character of two bytes.
TEST(Wildcard, MatchesStarsQuestionMarksAndLiterals) {
    const std::vector<std::string> matching = {"*|",
                                               "*.*|movie.avi",
                                               "*.*|readme.",
                                               "?.txt|é.txt",
                                               "a*b*c|axxbyyc",
                                               "*ab|aab",
                                               "**x|x",
                                               "|",
                                               "*/backup/*|/srv/backup/x",
                                               "*.avi|movie.avi",
                                               "*.txt|.txt",
                                               "*.*|.",
                                               "*ab*|xaby",
                                               "**|x",
                                               "*|anything",
                                               "*\xA9*|\xC3\xA9\xA9"};
    const std::vector<std::string> failing = {"*.*|readme",
                                              "*.avi|movie.avi.part",
                                              "*.avi|avi",
                                              "*ab*|xa",
                                              "*x*|",
                                              "*a|",
                                              "?.txt|ab.txt",
                                              "a*b*c|axxbyy",
                                              "|a",
                                              "abc|abd",
                                              "*\xA9*|\xC3\xA9",
                                              "*\xA9|\xC3\xA9"};
    for (const auto& [cases, expected] : {std::pair(&matching, true), std::pair(&failing, false)})
        for (const std::string& c : *cases) {
            const std::size_t bar = c.find('|');
            EXPECT_EQ(wildcard_match(c.substr(0, bar), c.substr(bar + 1)), expected) << c;
        }
}

}  // namespace
}  // namespace tovan
