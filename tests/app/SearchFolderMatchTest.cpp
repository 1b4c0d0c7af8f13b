#include <gtest/gtest.h>

#include "app/SearchFolderMatch.h"

namespace tovan {
namespace {

// A folder's path tested once must leave the same answer as the whole path, also
// where a mask's part begins in the folder's path and ends in the name.
TEST(SearchFolderMatch, AgreesWithTheWholePath) {
    const char* const paths[] = {"/pub/a.avi", "/pub/x/b.mkv.part", "/фильм/ü.avi", "/a/xbxc"};
    for (const char* text : {".avi", "ub/a", "b/a.", "/pub/*.avi", "pub/a.avi", "a*c", "x?c", "**",
                             "b.mkv, ü", "/p, zz", "фильм/ü", ""}) {
        const SearchMasks masks(text);
        for (const std::string path : paths) {
            for (std::size_t cut = path.find('/'); cut != std::string::npos;
                 cut = path.find('/', cut + 1)) {
                SearchFolderMatch folder(masks, SearchMasks::upped(path.substr(0, cut + 1)));
                EXPECT_EQ(folder.match(path.substr(cut + 1)),
                          masks.match_upped(SearchMasks::upped(path)))
                    << text << " on " << path << " cut at " << cut;
            }
        }
    }
}

}  // namespace
}  // namespace tovan
