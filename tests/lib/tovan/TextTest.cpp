#include <gtest/gtest.h>

#include <string>

#include "tovan/Utf8Case.h"
#include "tovan/Wildcard.h"

namespace tovan {
namespace {

TEST(Utf8Case, FoldsLatinGreekAndCyrillicLetters) {
    EXPECT_EQ(to_lower_utf8("Hello WORLD 123"), "hello world 123");
    EXPECT_EQ(to_lower_utf8("ÄÖÜ ÉÈ Ø Þ"), "äöü éè ø þ");
    EXPECT_EQ(to_upper_utf8("äöü éè ø þ ÿ"), "ÄÖÜ ÉÈ Ø Þ Ÿ");
    EXPECT_EQ(to_lower_utf8("ŁÓDŹ ČESKÝ"), "łódź český");
    EXPECT_EQ(to_lower_utf8("ΑΒΓ ΆΈ"), "αβγ άέ");
    EXPECT_EQ(to_upper_utf8("σς"), "ΣΣ");
    EXPECT_EQ(to_lower_utf8("ПРИВЕТ ЁЖ Є"), "привет ёж є");
    EXPECT_EQ(to_upper_utf8("привет ёж"), "ПРИВЕТ ЁЖ");
    EXPECT_EQ(to_lower_utf8("ß × ÷"), "ß × ÷");
}

TEST(Utf8Case, LeavesInvalidBytesAndUnknownScriptsAlone) {
    const std::string broken =
        "A\xC3"
        "B\xFF\x80Z";
    EXPECT_EQ(to_lower_utf8(broken),
              "a\xC3"
              "b\xFF\x80z");
    EXPECT_EQ(to_lower_utf8("日本語 ＡＢ"), "日本語 ＡＢ");
    EXPECT_EQ(to_lower_utf8(std::string("a\0B", 3)), std::string("a\0b", 3));
}

TEST(Wildcard, MatchesStarsQuestionMarksAndLiterals) {
    struct Case {
        const char* pattern;
        const char* text;
        bool matches;
    } cases[] = {
        {"*", "", true},
        {"*", "anything", true},
        {"*.*", "movie.avi", true},
        {"*.*", "readme", false},
        {"*.*", "readme.", true},
        {"*.avi", "movie.avi", true},
        {"*.avi", "movie.avi.part", false},
        {"?.txt", "a.txt", true},
        {"?.txt", "ab.txt", false},
        {"?.txt", "é.txt", true},  // one character, two bytes
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyy", false},
        {"*ab", "aab", true},
        {"**x", "x", true},
        {"", "", true},
        {"", "a", false},
        {"abc", "abc", true},
        {"abc", "abd", false},
        {"*/backup/*", "/srv/backup/x", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wildcard_match(c.pattern, c.text), c.matches) << c.pattern << " ~ " << c.text;
}

}  // namespace
}  // namespace tovan
