#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>

#include "app/DamagedFiles.h"
#include "app/Options.h"
#include "support/Bytes.h"
#include "support/TempFolder.h"
#include "tovan/io/Failure.h"
#include "tovan/io/OFStream.h"

namespace tovan {
namespace {

using test::Bytes;
using test::read_file;
using test::TempFolder;
using test::write_file;

// Every option away from its default: each flag turned over, the rest below.
Options stored() {
    Options options;
    for (const OptionField& field : Options::fields())
        if (const auto value = field.value(options); std::holds_alternative<bool>(value))
            field.set(options, std::get<bool>(value) ? "0" : "1");
    const std::pair<const char*, const char*> others[] = {
        {"update_status_minutes", "15"}, {"synchronize_minutes", "120"},
        {"unmark_old_hours", "48"},      {"startup_action", "1"},
        {"search_mask", "*.mkv"},        {"search_min_size_mb", "2.5"},
        {"download_folder", "/srv/in"}};
    for (const auto& [name, text] : others) Options::field(name)->set(options, text);
    options.download_folders = {"/srv/a", "/srv/b"};
    options.download_urls = {"ftp://h/f"};
    return options;
}
const Options Stored = stored();

// A file of that version holding `values`, the bytes of the option `replaced`
// (if any) swapped for `bytes`.
std::string file_of(int version, const Options& values = Stored, std::string_view replaced = {},
                    const std::string& bytes = {}) {
    TempFolder folder;
    io::OFStream out(folder.file("options.dat"));
    out.write_byte(static_cast<std::uint8_t>(version));
    for (const OptionField& field : Options::fields())
        if (field.name == replaced)
            out.write_bytes(bytes.data(), bytes.size());
        else if (version >= field.since)
            field.write(out, values);
    out.close();
    return read_file(folder.file("options.dat"));
}

std::uint64_t checksum(const std::string& bytes) {
    std::uint64_t sum = 14695981039346656037u;
    for (const unsigned char byte : bytes) sum = (sum ^ byte) * 1099511628211u;
    return sum;
}

Options loaded_from(const TempFolder& folder, const std::string& bytes, bool expect_read = true) {
    write_file(folder.file("options.dat"), bytes);
    Options options = Stored;
    DamagedFiles damaged(DamagedFiles::Handling::LeaveInPlace);
    EXPECT_EQ(options.load(folder.path(), damaged), expect_read);
    return options;
}

// The checksums pin each version's layout as programs of that version wrote it.
TEST(Options, EveryVersionKeepsTheStoredFieldsItHoldsAndDefaultsTheRest) {
    constexpr std::uint64_t Checksums[] = {
        0x9915e7fcd478272f, 0x7f6d2babf5ae65c1, 0x7c6e0c3af553013b, 0xd81b1320e7978254,
        0x1356d3a5fb39a02c, 0x897ad7329bbb45a7, 0x04f5f6e291354f52, 0x5b3bb720b34bcf8a,
        0x383f0bffed27cede, 0x3da9a03d0e1677f9, 0x9d80e59441d0b3a2, 0xbe63a3f98e871fe5};
    static_assert(std::size(Checksums) == Options::Version + 1);
    TempFolder folder;
    for (int version = 0; version <= Options::Version; ++version) {
        SCOPED_TRACE("version " + std::to_string(version));
        EXPECT_EQ(checksum(file_of(version)), Checksums[version]);
        const Options options = loaded_from(folder, file_of(version));
        for (const OptionField& field : Options::fields())
            EXPECT_EQ(field.value(options),
                      field.value(version >= field.since ? Stored : Options()))
                << field.name;
    }
}

TEST(Options, SavesTheNewestVersionAndAFailedSaveKeepsTheOldFile) {
    TempFolder folder;
    Stored.save(folder.path());
    EXPECT_EQ(read_file(folder.file("options.dat")), file_of(Options::Version));

    std::filesystem::create_directory(folder.file("temp"));
    EXPECT_THROW(Options().save(folder.path()), io::Failure);
    EXPECT_EQ(read_file(folder.file("options.dat")), file_of(Options::Version));
}

TEST(Options, ValuesNoDialogCouldSetTakeTheirDefaultsAndAnEscapedCountIsRead) {
    TempFolder folder;
    Options odd = Stored;
    odd.update_status_minutes = 0;
    odd.startup_action = 3;
    const std::string escaped = Bytes().u32(0xFFFFFFFE).u32(1).text("/a");
    const Options options = loaded_from(folder, file_of(10, odd, "download_folders", escaped));
    EXPECT_TRUE(options.update_status_minutes == Options().update_status_minutes &&
                options.startup_action == Options().startup_action);
    EXPECT_EQ(options.download_folders, std::vector<std::string>{"/a"});
}

// A damaged file must neither leave a mix of stored and default values (lists
// from an earlier load included) nor make the reader allocate a damaged count;
// only a missing one goes without a warning.
TEST(Options, ADamagedShortOrMissingFileGivesAllDefaults) {
    TempFolder folder;
    const std::string whole = file_of(10);
    std::vector<std::string> damaged = {
        Bytes::header().u8(Options::Version + 1).raw(whole.substr(22)),
        file_of(10, Stored, "download_urls", Bytes().u32(1 << 30))};
    for (std::size_t length = 0; length < whole.size(); ++length)
        damaged.push_back(whole.substr(0, length));
    for (const std::string& bytes : damaged)
        EXPECT_EQ(loaded_from(folder, bytes, false), Options()) << bytes.size() << " bytes";

    std::filesystem::remove(folder.file("options.dat"));
    DamagedFiles warnings;
    Options missing = Stored;
    EXPECT_FALSE(missing.load(folder.path(), warnings));
    EXPECT_TRUE(warnings.warnings().empty() && missing == Options());
}

// What the command line's `options NAME VALUE` takes; nullopt: refused.
TEST(Options, EachKindTakesTheValuesItsDialogWould) {
    const std::vector<std::tuple<std::string, std::string, std::optional<OptionField::Value>>>
        cases = {
            {"start_at_login", "off", false},           {"start_with_windows", "no", false},
            {"auto_save", "maybe", std::nullopt},       {"synchronize_minutes", "9999", 9999},
            {"unmark_old_hours", "12h", std::nullopt},  {"startup_action", "0", 0},
            {"startup_action", "3", std::nullopt},      {"search_min_size_mb", "2.5", 2.5},
            {"search_min_size_mb", "-1", std::nullopt}, {"search_mask", "", std::string()},
            {"download_urls", "x", std::nullopt},
        };
    for (const auto& [name, text, shown] : cases) {
        const OptionField* field = Options::field(name);
        Options options;
        EXPECT_EQ(field->set(options, text), shown.has_value()) << name << " " << text;
        EXPECT_EQ(field->value(options), shown.value_or(field->value(Options())))
            << name << " " << text;
    }
}

}  // namespace
}  // namespace tovan
