#include <gtest/gtest.h>

#include "app/UserFolders.h"

namespace tovan {
namespace {

TEST(UserFolders, ReadsTheDownloadFolderFromUserDirs) {
    EXPECT_EQ(UserFolders::download_dir_in("# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                           "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n",
                                           "/home/ann"),
              "/home/ann/Downloads");
    // Relative values are not folders of the user's: the caller falls back.
    EXPECT_EQ(UserFolders::download_dir_in("XDG_DOWNLOAD_DIR=\"Downloads\"\n", "/home/ann"), "");
}

}  // namespace
}  // namespace tovan
