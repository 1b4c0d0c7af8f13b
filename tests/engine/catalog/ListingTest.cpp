#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "engine/catalog/Listing.h"

namespace tovan {
namespace {

// Names that tie on their first bytes, are shorter than a word, or hold bytes
// above 0x7f (which sort after ASCII) must sort as catalog order says, and
// items of the same name keep their listed order (the time marks each item).
TEST(Listing, SortsIntoCatalogOrderOnAwkwardNames) {
    using Item = std::tuple<bool, std::string, std::int64_t>;  // folder, name, listed place
    const std::vector<std::pair<std::string, bool>> listed = {{"abcdefgh", false},
                                                              {"abcdefg", false},
                                                              {"abcdefgg", false},
                                                              {"", false},
                                                              {"\xc3\xa9t\xc3\xa9", false},
                                                              {"zz", true},
                                                              {"abcdefgh", false},
                                                              {"\xff", false},
                                                              {"ABCDEFGHIJ", false},
                                                              {"abcdefgh", true},
                                                              {"a", false},
                                                              {"abcdefgh\x80", false},
                                                              {"abcdefg\x01", false},
                                                              {"IMG_0002.jpg", false},
                                                              {"IMG_0001.jpg", false},
                                                              {"b", true}};
    Listing listing;
    std::vector<Item> expected;
    for (const auto& [name, folder] : listed) {
        const auto place = static_cast<std::int64_t>(expected.size());
        listing.add(name, folder, 0, place);
        expected.emplace_back(folder, name, place);
    }
    std::stable_sort(expected.begin(), expected.end(), [](const Item& a, const Item& b) {
        return CatalogOrder::precedes(std::get<0>(a), std::get<1>(a), std::get<0>(b),
                                      std::get<1>(b));
    });
    listing.sort();
    ASSERT_EQ(listing.size(), expected.size());
    for (std::size_t i = 0; i < listing.size(); ++i)
        EXPECT_EQ(Item(listing.is_folder(i), listing.name(i), listing.time(i)), expected[i]) << i;
}

}  // namespace
}  // namespace tovan
