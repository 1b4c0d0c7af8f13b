#include "support/ScanRun.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "support/TempFolder.h"
#include "support/WaitUntil.h"

namespace tovan::test {

void finish(Scanner& scanner) {
    EXPECT_TRUE(wait_until([&] { return scanner.is_idle() || scanner.has_no_threads(); }));
    scanner.stop();
    EXPECT_TRUE(wait_until([&] { return scanner.has_no_threads(); }));
}

bool scan(const SharedPtr<Server>& server, const ScanOptions& options) {
    Scanner scanner(server, options);
    scanner.scan(server->root(), false);
    finish(scanner);
    return scanner.is_online();
}

const ScanFilter* everything() {
    // Made once, before any scan thread reads it.
    static const struct Everything : ScanFilter {
        Everything() { set_masks({"*"}); }
    } filter;
    return &filter;
}

void write_file_at(const std::string& path, const std::string& bytes, std::int64_t when) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    write_file(path, bytes);
    set_time(path, when);
}

void set_time(const std::string& path, std::int64_t when, bool of_link) {
    const timespec times[2] = {{when, 0}, {when, 0}};
    EXPECT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, of_link ? AT_SYMLINK_NOFOLLOW : 0), 0)
        << path;
}

std::optional<std::string> list_folder(FileFinder& finder, const Entry& folder) {
    if (!finder.find_file(folder))
        return std::nullopt;
    // The way a scan reads a folder.
    Listing listing;
    for (bool more = true; more;) more = finder.list_next(listing);
    std::map<std::string, std::string> found;
    for (std::size_t i = 0; i < listing.size(); ++i)
        found[std::string(listing.name(i))] =
            (listing.is_folder(i) ? "/" : ":" + std::to_string(listing.item_size(i))) + "@" +
            std::to_string(listing.time(i));
    std::string text;
    for (const auto& [name, item] : found) text += (text.empty() ? "" : " ") + name + item;
    return text;
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
