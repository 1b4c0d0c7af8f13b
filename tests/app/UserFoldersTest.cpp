#include <gtest/gtest.h>

#include "app/UserFolders.h"

namespace tovan {
namespace {

TEST(UserFolders, ReadsTheDownloadFolderFromUserDirs) {
    const std::string home = "/home/ann";
    EXPECT_EQ(
        UserFolders::download_dir_in("# comment\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n", home),
        "/home/ann/Downloads");
    EXPECT_EQ(UserFolders::download_dir_in("XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                           "XDG_DOWNLOAD_DIR=\"/data/Téléchargements\"\n",
                                           home),
              "/data/Téléchargements");
    // Relative values are not folders of the user's: the caller falls back.
    EXPECT_EQ(UserFolders::download_dir_in("XDG_DOWNLOAD_DIR=\"Downloads\"\n", home), "");
    EXPECT_EQ(UserFolders::download_dir_in("", home), "");
}

}  // namespace
}  // namespace tovan
