#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tovan {

// The URLs given to the URL dialog, oldest first, as the options keep them
// (download_urls). Examples: tests/app/UrlHistoryTest.cpp.
class UrlHistory {
public:
    static constexpr std::size_t Limit = 40;

    // Puts the URL last, taking out an equal entry before it; beyond the limit
    // the oldest go, so the newest are always kept.
    static void add(std::vector<std::string>& history, const std::string& url);
    // Newest first, empty entries left out: the order of the drop-down.
    static std::vector<std::string> newest_first(const std::vector<std::string>& history);
    // Passwords show as "***" on screen: the URL that a shown text stands for
    // when it was shown from origin and maybe edited since. A text that no
    // longer has origin's scheme, login and host is its own URL.
    static std::string unmasked(const std::string& shown, const std::string& origin);
};

}  // namespace tovan
