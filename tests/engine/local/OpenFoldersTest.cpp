#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/local/LocalFileFinder.h"
#include "engine/local/OpenFolders.h"
#include "support/OpenDescriptors.h"
#include "support/ScanRun.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

namespace fs = std::filesystem;

// A fresh tree: a/sub/x, a/deep/y, c/z.
class OpenFoldersTest : public ::testing::Test {
protected:
    OpenFoldersTest() {
        for (const char* path : {"a/sub/x", "a/deep/y", "c/z"}) {
            fs::create_directories(fs::path(tree.file(path)).parent_path());
            test::write_file(tree.file(path), "");
        }
    }

    // The names in the folder as the kept folders open it, sorted; "missing"
    // when it cannot be opened.
    std::string names_in(const std::string& path) {
        const int descriptor = folders.open(tree.file(path));
        if (descriptor < 0)
            return "missing";
        DIR* folder = ::fdopendir(descriptor);
        std::vector<std::string> names;
        while (const dirent* each = ::readdir(folder))
            if (each->d_name[0] != '.')
                names.emplace_back(each->d_name);
        ::closedir(folder);
        std::sort(names.begin(), names.end());
        std::string text;
        for (const std::string& name : names) text += (text.empty() ? "" : " ") + name;
        return text;
    }

    void keep(const std::string& path) {
        folders.keep(tree.file(path), ::open(tree.file(path).c_str(), O_RDONLY | O_DIRECTORY));
    }

    void rename(const std::string& from, const std::string& to) {
        fs::rename(tree.file(from), tree.file(to));
    }

    test::TempFolder tree;
    OpenFolders folders;
};

// A folder moved away since it was kept still opens its subfolders: they are
// opened relative to it, not by their paths.
TEST_F(OpenFoldersTest, OpensSubfoldersThroughTheKeptFolder) {
    EXPECT_EQ(names_in("a/sub"), "x");  // nothing kept: by its path
    keep("a");
    rename("a", "moved");
    EXPECT_EQ(names_in("a/sub"), "x");
    EXPECT_EQ(names_in("a/deep"), "y");
    EXPECT_EQ(names_in("c"), "z");  // its parent is not kept
}

TEST_F(OpenFoldersTest, KeepsOnlyTheFoldersAboveTheLastOneKept) {
    keep("a");
    keep("a/deep");
    keep("c");  // a sibling: a and a/deep go
    rename("a", "a2");
    rename("c", "c2");
    EXPECT_EQ(names_in("a/sub"), "missing");
    EXPECT_EQ(names_in("a/deep/none"), "missing");
    EXPECT_EQ(names_in("c/none"), "missing");
    fs::create_directory(tree.file("c2/inner"));
    EXPECT_EQ(names_in("c/inner"), "");  // c kept, though moved
    EXPECT_EQ(test::descriptors_open_in(tree.path()), 1);
}

// Scan threads share out the subfolders of one folder: a thread opens through
// the deepest folder that any thread keeps above the one it wants.
TEST_F(OpenFoldersTest, OpensThroughTheFoldersAnotherThreadKeeps) {
    fs::create_directories(tree.file("a/sub/inner/leaf"));
    OpenFolders other;
    other.keep(tree.file("a"), ::open(tree.file("a").c_str(), O_RDONLY | O_DIRECTORY));
    rename("a", "moved");
    EXPECT_EQ(names_in("a/sub"), "inner x");
    EXPECT_EQ(names_in("a/sub/inner"), "leaf");  // two levels below the kept folder
    EXPECT_EQ(names_in("c"), "z");
    other.close_all();
    EXPECT_EQ(names_in("a/sub"), "missing");  // by its path again
}

// The kept descriptor leads into the deleted folder, where nothing is found any
// more; the path leads to the new one.
TEST_F(OpenFoldersTest, AKeptFolderDeletedAndMadeAgainIsOpenedByItsPath) {
    keep("a");
    fs::remove_all(tree.file("a"));
    fs::create_directories(tree.file("a/sub/new"));
    EXPECT_EQ(names_in("a/sub"), "new");
}

TEST_F(OpenFoldersTest, LetsGoOfEveryFolderWhenToldAndWhenDestroyed) {
    keep("a");
    keep("a/deep");
    EXPECT_EQ(test::descriptors_open_in(tree.path()), 2);
    folders.close_all();
    EXPECT_EQ(test::descriptors_open_in(tree.path()), 0);
    {
        OpenFolders more;
        more.keep(tree.file("c"), ::open(tree.file("c").c_str(), O_RDONLY | O_DIRECTORY));
        EXPECT_EQ(test::descriptors_open_in(tree.path()), 1);
    }
    EXPECT_EQ(test::descriptors_open_in(tree.path()), 0);
}

// However many scan threads keep folders, together they keep a bounded number,
// far from the process's limit of descriptors.
TEST_F(OpenFoldersTest, KeepsABoundedNumberAcrossTheProcess) {
    {
        std::vector<OpenFolders> threads(300);
        for (OpenFolders& kept : threads)
            kept.keep(tree.file("c"), ::open(tree.file("c").c_str(), O_RDONLY | O_DIRECTORY));
        EXPECT_EQ(test::descriptors_open_in(tree.path()), 256);
    }
    EXPECT_EQ(test::descriptors_open_in(tree.path()), 0);
    keep("c");  // room again
    EXPECT_EQ(test::descriptors_open_in(tree.path()), 1);
}

// The finder hands over a folder it listed whole when it has subfolders, whose
// listings come next; one without them is closed.
TEST_F(OpenFoldersTest, AFinderKeepsAFolderListedWholeWithSubfolders) {
    const SharedPtr<OpenFolders> shared = make_shared<OpenFolders>();
    {
        LocalFileFinder finder(shared);
        EXPECT_TRUE(test::list_folder(finder, *Entry::create_folder(tree.file("a/sub"))));
        EXPECT_TRUE(test::list_folder(finder, *Entry::create_folder(tree.file("a"))));
    }
    EXPECT_EQ(test::descriptors_open_in(tree.path()), 1);
    rename("a", "moved");
    LocalFileFinder finder(shared);
    EXPECT_TRUE(test::list_folder(finder, *Entry::create_folder(tree.file("a/deep"))));
    shared->close_all();
    EXPECT_FALSE(test::list_folder(finder, *Entry::create_folder(tree.file("a/sub"))));
}

}  // namespace
}  // namespace tovan
