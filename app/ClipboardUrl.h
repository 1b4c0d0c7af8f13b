#pragma once

#include <string>

namespace tovan {

// The URL that the clipboard offers to the URL dialog. Examples:
// tests/app/ClipboardUrlTest.cpp.
class ClipboardUrl {
public:
    // The clipboard's texts by format, in UTF-8; empty where it has none.
    struct Offer {
        std::string uri_list;  // text/uri-list: file managers and browsers
        std::string moz_url;   // text/x-moz-url: a URL, then its title
        std::string plain;     // text/plain
    };

    // The first URL to download found in the formats in the order above;
    // empty when none holds one.
    static std::string choose(const Offer& offer);
};

}  // namespace tovan
