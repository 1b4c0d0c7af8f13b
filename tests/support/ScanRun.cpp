#include "support/ScanRun.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/TempFolder.h"
#include "support/WaitUntil.h"

namespace tovan::test {

void finish(Scanner& scanner) {
    EXPECT_TRUE(wait_until([&] { return scanner.is_idle() || scanner.has_no_threads(); }));
    scanner.stop();
    EXPECT_TRUE(wait_until([&] { return scanner.has_no_threads(); }));
}

void write_file_at(const std::string& path, const std::string& bytes, std::int64_t when) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    write_file(path, bytes);
    const timespec times[2] = {{when, 0}, {when, 0}};
    EXPECT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

SharedPtr<Entry> entry_at(SharedPtr<Entry> folder, std::string_view path) {
    for (std::size_t start = 0; folder && start < path.size();) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        folder = folder->find_child(path.substr(start, slash - start));
        start = slash + 1;
    }
    return folder;
}

}  // namespace tovan::test
