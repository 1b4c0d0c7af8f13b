#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/DamagedFiles.h"
#include "app/Options.h"
#include "support/Bytes.h"
#include "support/TempFolder.h"
#include "tovan/io/Failure.h"

namespace tovan {
namespace {

using test::Bytes;
using test::read_file;
using test::TempFolder;
using test::write_file;

// One stored field: the version that introduced it, its bytes holding a value
// other than the default, and whether a loaded record holds that value.
struct Field {
    int since;
    std::string bytes;
    std::function<bool(const Options&)> stored;
};

// The fields in file order; every value differs from its default.
std::vector<Field> fields() {
    const auto u8 = [](std::uint8_t v) { return Bytes().u8(v).str(); };
    const auto u32 = [](std::uint32_t v) { return Bytes().u32(v).str(); };
    return {
        {10, u8(0), [](const Options& o) { return !o.minimize_to_tray_on_close; }},
        {10, u8(0), [](const Options& o) { return !o.minimize_to_tray; }},
        {0, u8(0), [](const Options& o) { return !o.show_changed_only; }},
        {0, u8(0), [](const Options& o) { return !o.auto_save; }},
        {0, u8(0), [](const Options& o) { return !o.mark_deleted; }},
        {3, u8(0), [](const Options& o) { return !o.mark_changed_by_mtime; }},
        {0, u8(1), [](const Options& o) { return o.show_scan_depth; }},
        {2, u8(1), [](const Options& o) { return o.show_scan_time; }},
        {2, u8(0), [](const Options& o) { return !o.full_scan_new_folders; }},
        {2, u8(0), [](const Options& o) { return !o.keep_empty_folder_marks; }},
        {0, u8(1), [](const Options& o) { return o.show_online_only; }},
        {0, u8(0), [](const Options& o) { return !o.update_status_enabled; }},
        {0, u32(15), [](const Options& o) { return o.update_status_minutes == 15; }},
        {0, u8(0), [](const Options& o) { return !o.synchronize_enabled; }},
        {0, u32(120), [](const Options& o) { return o.synchronize_minutes == 120; }},
        {9, u8(0), [](const Options& o) { return !o.unmark_old_enabled; }},
        {9, u32(48), [](const Options& o) { return o.unmark_old_hours == 48; }},
        {0, u8(1), [](const Options& o) { return o.startup_action == 1; }},
        {1, Bytes().text("*.mkv").str(), [](const Options& o) { return o.search_mask == "*.mkv"; }},
        {1, u32(0), [](const Options& o) { return o.search_only_online == 0; }},
        {1, u32(1), [](const Options& o) { return o.search_only_changed == 1; }},
        {1, u32(1), [](const Options& o) { return o.search_directories == 1; }},
        {1, u32(std::bit_cast<std::uint32_t>(2.5f)),
         [](const Options& o) { return o.search_min_size_mb == 2.5f; }},
        {4, Bytes().text("/srv/in").str(),
         [](const Options& o) { return o.download_folder == "/srv/in"; }},
        {7, Bytes().u32(2).text("/srv/a").text("/srv/b").str(),
         [](const Options& o) {
             return o.download_folders == std::vector<std::string>{"/srv/a", "/srv/b"};
         }},
        {8, Bytes().u32(1).text("ftp://h/f").str(),
         [](const Options& o) { return o.download_urls == std::vector<std::string>{"ftp://h/f"}; }},
        {6, u8(0), [](const Options& o) { return !o.start_with_windows; }},
    };
}

// The file of a version, with the bytes of one field (by file order) replaced.
std::string file_with(int version, std::size_t replaced, const std::string& bytes) {
    Bytes file = Bytes::header().u8(static_cast<std::uint8_t>(version));
    const std::vector<Field> all = fields();
    for (std::size_t at = 0; at < all.size(); ++at)
        if (version >= all[at].since)
            file.raw(at == replaced ? bytes : all[at].bytes);
    return file.str();
}

std::string file_of_version(int version) {
    return file_with(version, SIZE_MAX, {});
}

constexpr std::size_t UpdateStatusMinutes = 12;
constexpr std::size_t DownloadFolders = 24;
constexpr std::size_t DownloadUrls = 25;

Options loaded_from(const TempFolder& folder, const std::string& bytes, bool expect_read) {
    write_file(folder.file("options.dat"), bytes);
    Options options;
    DamagedFiles damaged(DamagedFiles::Handling::LeaveInPlace);
    EXPECT_EQ(options.load(folder.path(), damaged), expect_read);
    return options;
}

TEST(Options, EveryVersionKeepsTheStoredFieldsItHoldsAndDefaultsTheRest) {
    TempFolder folder;
    for (int version = 0; version <= Options::Version; ++version) {
        SCOPED_TRACE("version " + std::to_string(version));
        const Options options = loaded_from(folder, file_of_version(version), true);
        int at = 0;
        for (const Field& field : fields()) {
            SCOPED_TRACE("field " + std::to_string(++at));
            EXPECT_EQ(field.stored(options), version >= field.since);
        }
    }
}

TEST(Options, SavesTheNewestVersionByteForByteAndReadsItBack) {
    TempFolder folder;
    const std::string version10 = file_of_version(10);
    const Options options = loaded_from(folder, version10, true);
    std::filesystem::remove(folder.file("options.dat"));

    options.save(folder.path());
    EXPECT_EQ(read_file(folder.file("options.dat")), version10);
    EXPECT_FALSE(std::filesystem::exists(folder.file("temp")));

    Options().save(folder.path());
    EXPECT_EQ(loaded_from(folder, read_file(folder.file("options.dat")), true), Options());
}

std::string hex(const std::string& bytes) {
    std::string text;
    for (const unsigned char byte : bytes)
        text += "0123456789abcdef"[byte >> 4], text += "0123456789abcdef"[byte & 15];
    return text;
}

// What every program that writes version 10 has written: the header, the
// version, the defaults.
TEST(Options, TheDefaultsAreSavedByteForByte) {
    TempFolder folder;
    Options().save(folder.path());
    EXPECT_EQ(hex(read_file(folder.file("options.dat"))),
              "746f76616e3a3a696f3a3a53747265616d02000000"
              "0a0101010101010000010100010a000000013c00000001480000000205000000"
              "2a2e61766901000000000000000000000000000000000000000000000000000000"
              "01");
}

TEST(Options, AnEscapedListCountIsFollowedByTheRealCount) {
    TempFolder folder;
    const std::string escaped = Bytes().u32(0xFFFFFFFE).u32(2).text("/a").text("/b");
    const Options options = loaded_from(folder, file_with(10, DownloadFolders, escaped), true);
    EXPECT_EQ(options.download_folders, (std::vector<std::string>{"/a", "/b"}));
    EXPECT_EQ(options.download_urls, (std::vector<std::string>{"ftp://h/f"}));
    EXPECT_FALSE(options.start_with_windows);
}

// A damaged file must neither leave a mix of stored and default values (lists
// from an earlier load included) nor make the reader allocate a damaged count.
TEST(Options, ADamagedOrShortFileGivesAllDefaults) {
    TempFolder folder;
    const std::string whole = file_of_version(10);
    std::vector<std::string> damaged;
    for (std::size_t length = 0; length < whole.size(); ++length)
        damaged.push_back(whole.substr(0, length));
    damaged.push_back(Bytes::header().u8(11).raw(whole.substr(22)));
    damaged.push_back(file_with(10, DownloadUrls, Bytes().u32(0x7FFFFFFF).text("u")));

    for (const std::string& bytes : damaged) {
        SCOPED_TRACE("file of " + std::to_string(bytes.size()) + " bytes");
        Options options = loaded_from(folder, whole, true);
        write_file(folder.file("options.dat"), bytes);
        DamagedFiles damaged(DamagedFiles::Handling::LeaveInPlace);
        EXPECT_FALSE(options.load(folder.path(), damaged));
        EXPECT_EQ(options, Options());
    }
}

TEST(Options, PeriodsNoDialogCouldSetTakeTheirDefaults) {
    TempFolder folder;
    const Options options =
        loaded_from(folder, file_with(10, UpdateStatusMinutes, Bytes().u32(0)), true);
    EXPECT_EQ(options.update_status_minutes, Options().update_status_minutes);
    EXPECT_EQ(options.synchronize_minutes, 120u);
}

TEST(Options, AMissingFileGivesDefaultsAndAFailedSaveKeepsTheOldFile) {
    TempFolder folder;
    Options options;
    options.search_mask = "*.iso";
    DamagedFiles damaged;
    EXPECT_FALSE(options.load(folder.path(), damaged));
    EXPECT_TRUE(damaged.warnings().empty());
    EXPECT_EQ(options, Options());

    write_file(folder.file("options.dat"), file_of_version(10));
    std::filesystem::create_directory(folder.file("temp"));
    EXPECT_THROW(Options().save(folder.path()), io::Failure);
    EXPECT_EQ(read_file(folder.file("options.dat")), file_of_version(10));
}

}  // namespace
}  // namespace tovan
