#include <gtest/gtest.h>

#include "app/ClipboardUrl.h"

namespace tovan {
namespace {

// The clipboard's formats are tried in order: text/uri-list, text/x-moz-url,
// plain text; the first that holds a URL naming a file wins.
TEST(ClipboardUrl, TakesTheFirstFormatThatHoldsAUrlToDownload) {
    struct Case {
        ClipboardUrl::Offer offer;
        const char* chosen;
    };
    const std::string folder = "https://example.org/pub/";
    // clang-format off
    const Case cases[] = {
        {{"# copied\r\nftp://a/1.iso\r\nftp://a/2.iso\r\n", "https://b/2.iso\nTitle", "https://c/3.iso"}, "ftp://a/1.iso"},
        {{folder, "https://b/2.iso\nTitle", "https://c/3.iso"}, "https://b/2.iso"},
        {{"", "", " https://c/3.iso\n"}, "https://c/3.iso"},
        {{"", folder, "/srv/files/a.iso"}, "/srv/files/a.iso"},
        {{"", "", "see https://c/3.iso"}, ""},
        {{"", "", "https://c/3.iso\nhttps://c/4.iso"}, ""},
        {{"", "", "and/or"}, ""},
        {{"", "", ""}, ""},
    };
    // clang-format on
    for (const Case& each : cases) {
        SCOPED_TRACE(each.offer.uri_list + "|" + each.offer.moz_url + "|" + each.offer.plain);
        EXPECT_EQ(ClipboardUrl::choose(each.offer), each.chosen);
    }
}

}  // namespace
}  // namespace tovan
