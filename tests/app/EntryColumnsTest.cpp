#include <gtest/gtest.h>

#include "app/EntryColumns.h"
#include "app/TextFormats.h"
#include "engine/catalog/ChangeMarks.h"

namespace tovan {
namespace {

constexpr std::int64_t Then = 1'600'000'000;
constexpr std::int64_t Now = 1'700'000'000;

// A file in a folder, as a rescan leaves it: marked, with what it was before.
SharedPtr<Entry> file_in(const SharedPtr<Entry>& folder, std::uint64_t size, EntryState state,
                         std::uint64_t previous_size = 0, std::int64_t previous_time = Now) {
    const SharedPtr<Entry> file =
        Entry::create_file("f" + std::to_string(folder->child_count()), size, Now);
    folder->add_child(file);
    if (state == EntryState::Modified) {
        file->set_previous_size(previous_size);
        file->set_previous_time(previous_time);
    }
    ChangeMarks::set(*file, state);
    return file;
}

TEST(EntryColumns, AMarkedChangeShowsWhatTheEntryWasBefore) {
    const SharedPtr<Entry> folder = Entry::create_folder("d");
    const SharedPtr<Entry> grown = file_in(folder, 1536, EntryState::Modified, 1024, Then);
    const SharedPtr<Entry> shrunk = file_in(folder, 1024, EntryState::Modified, 1536);
    const SharedPtr<Entry> added = file_in(folder, 2048, EntryState::New);
    const SharedPtr<Entry> same = file_in(folder, 100, EntryState::Unchanged);
    const SharedPtr<Entry> deleted = file_in(folder, 300, EntryState::Deleted);
    const std::pair<std::string, std::string> table[] = {
        {size_column_text(*grown), "*1.5 KB(+512 Bytes)"},
        {date_column_text(*grown), "*" + time_text(Now)},
        {size_column_text(*shrunk), "*1.0 KB(-512 Bytes)"},
        {date_column_text(*shrunk), time_text(Now)},
        {size_column_text(*added), "2.0 KB"},
        {date_column_text(*added), time_text(Now)},
        {size_column_text(*same), "100 Bytes"},
        {date_column_text(*same), time_text(Now)},
        // The totals leave deleted files out now and count new ones only now.
        {size_column_text(*folder), "*4.6 KB(+1.7 KB)"},
        {size_column_text(*deleted), "300 Bytes"},
    };
    for (const auto& [made, expected] : table) EXPECT_EQ(made, expected);
    EXPECT_EQ(folder->state(), EntryState::ContainsChanges);

    ChangeMarks::set(*folder, EntryState::Unchanged);
    EXPECT_EQ(size_column_text(*folder), "4.6 KB");
}

}  // namespace
}  // namespace tovan
