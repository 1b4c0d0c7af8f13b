#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovan {

// The masks of a search, built from what the user typed: tokens separated by ","
// (or, where the rest holds no ",", by ";"), leading blanks dropped, upper-cased
// and wrapped in "*", so each matches anywhere in an entry's full path. "?" is
// one character (a whole UTF-8 sequence), every other character is literal.
// Examples: tests/app/SearchTest.cpp.
class SearchMasks {
public:
    SearchMasks() = default;
    explicit SearchMasks(std::string_view text);

    const std::vector<std::string>& masks() const { return masks_; }
    bool empty() const { return masks_.empty(); }

    // Whether an upper-cased path matches some mask; every path does when there
    // is no mask.
    bool match_upped(std::string_view path) const;

    // Appends the text upper-cased, non-ASCII letters included.
    static void append_upped(std::string& out, std::string_view text);
    static std::string upped(std::string_view text);

private:
    friend class SearchFolderMatch;

    // A mask without "?" is a row of literal parts between stars, matched with
    // substring searches instead of backtracking: searches run over millions of
    // paths.
    struct Compiled {
        std::string pattern;
        std::vector<std::string> parts;  // split at every "*"; empty when "?" occurs
        bool literal = false;
    };

    static Compiled compile(std::string pattern);
    static bool match_literal(const Compiled& mask, std::string_view path);
    // Literal and starting and ending in "*": its parts may be found anywhere.
    static bool spans_whole_path(const Compiled& mask);

    std::vector<std::string> masks_;
    std::vector<Compiled> compiled_;
};

}  // namespace tovan
