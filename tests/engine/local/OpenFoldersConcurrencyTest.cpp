#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "engine/local/OpenFolders.h"
#include "support/OpenDescriptors.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

namespace fs = std::filesystem;

// Each folder holds a file named after its own path, so a folder opened through
// the wrong descriptor shows.
std::string marker_of(const std::string& relative) {
    std::string name = "at-" + relative;
    std::replace(name.begin(), name.end(), '/', '-');
    return name;
}

std::vector<std::string> make_tree(const test::TempFolder& tree) {
    std::vector<std::string> folders;
    for (const char* top : {"a", "b", "c", "d"})
        for (const char* middle : {"e", "f", "g", "h"})
            for (const char* low : {"i", "j", "k", "l"}) {
                const std::string chain[] = {top, std::string(top) + "/" + middle,
                                             std::string(top) + "/" + middle + "/" + low};
                for (const std::string& relative : chain) {
                    if (std::find(folders.begin(), folders.end(), relative) != folders.end())
                        continue;
                    fs::create_directories(tree.file(relative));
                    test::write_file(tree.file(relative + "/" + marker_of(relative)), "");
                    folders.push_back(relative);
                }
            }
    return folders;  // parents before their subfolders
}

// Threads walk the same tree, each keeping the folders it listed and opening
// through the folders the others keep, as scan threads of one scan do; each
// lets go of its folders now and then, as a thread with nothing to do does.
TEST(OpenFoldersConcurrencyTest, ThreadsOpenThroughEachOthersFoldersAndLetGoSafely) {
    test::TempFolder tree;
    const std::vector<std::string> folders = make_tree(tree);
    std::atomic<int> wrong{0};
    std::atomic<int> failed{0};
    auto walk = [&](std::size_t thread) {
        OpenFolders kept;
        for (std::size_t round = 0; round < 40; ++round) {
            for (std::size_t index = 0; index < folders.size(); ++index) {
                // Threads start at different places and so keep different folders.
                const std::string& relative = folders[(index + thread * 7) % folders.size()];
                const int descriptor = kept.open(tree.file(relative));
                if (descriptor < 0) {
                    ++failed;
                    continue;
                }
                if (::faccessat(descriptor, marker_of(relative).c_str(), F_OK, 0) != 0)
                    ++wrong;
                kept.keep(tree.file(relative), descriptor);
            }
            if (round % 5 == thread % 5)
                kept.close_all();
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t thread = 0; thread < 4; ++thread) threads.emplace_back(walk, thread);
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(test::descriptors_open_in(tree.path()), 0);
}

}  // namespace
}  // namespace tovan
