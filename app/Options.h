#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/OptionField.h"
#include "engine/catalog/ScanOptions.h"

namespace tovan {

class DamagedFiles;

namespace io {
class IStream;
class OStream;
}  // namespace io

// The user's settings, kept in "options.dat" in the data folder. The fields are
// read by the scan engine, the views and the scheduler and written only on the
// user-interface thread; scan threads read their own fields through a copy
// (scan_options).
//
// The file is the stream header and then one record: a version byte and the
// fields in the order of fields(). Every version ever written stays readable: a
// field that an older version lacks keeps its default. Examples:
// tests/app/OptionsTest.cpp.
class Options {
public:
    static constexpr std::uint8_t Version = 11;
    static constexpr const char* FileName = "options.dat";

    // What `startup_action` asks for when the tree is first shown.
    enum StartupAction : std::int32_t {
        NoStartupAction = 0,
        UpdateStatusOnly = 1,
        FullSynchronize = 2
    };

    bool minimize_to_tray = true;
    bool minimize_to_tray_on_close = true;
    bool show_changed_only = true;
    bool auto_save = true;
    bool mark_deleted = true;
    bool mark_changed_by_mtime = true;
    bool show_scan_depth = false;
    bool show_scan_time = false;
    bool keep_empty_folder_marks = true;
    bool full_scan_new_folders = true;
    bool show_online_only = false;
    bool update_status_enabled = true;
    std::uint32_t update_status_minutes = 10;
    bool synchronize_enabled = true;
    std::uint32_t synchronize_minutes = 60;
    bool unmark_old_enabled = true;
    std::uint32_t unmark_old_hours = 72;
    bool start_at_login = true;
    std::int32_t startup_action = FullSynchronize;
    std::string search_mask = "*.avi";
    std::int32_t search_only_online = 1;
    std::int32_t search_only_changed = 0;
    std::int32_t search_directories = 0;
    float search_min_size_mb = 0.0f;
    std::string download_folder;
    std::vector<std::string> download_folders;
    std::vector<std::string> download_urls;
    // A desktop notification of the changes a scan finds while the window is
    // hidden to the tray.
    bool notify_changes = true;

    // Gives every field its default; the two lists keep what they hold.
    void set_defaults();

    // Reads "options.dat" from the data folder over the defaults. True when the
    // file was read; false when it is missing (defaults, silently) or cannot be
    // read whole (every field, lists too, at its default: a file cut short must
    // not leave a mix of stored and default values), and then the file goes to
    // damaged. Raises tovan::io::Failure when damaged cannot move it aside.
    bool load(const std::string& data_folder, DamagedFiles& damaged);
    // Writes "options.dat" by a safe save; raises tovan::io::Failure naming the
    // file and why when it cannot be written, and then the previous file stays.
    void save(const std::string& data_folder) const;

    // The record alone, as it follows the stream header.
    void read(io::IStream& in);
    void write(io::OStream& out) const;

    bool operator==(const Options&) const = default;

    // The fields the scan engine reads while it merges listings.
    ScanOptions scan_options() const;

    // Every option in file order, the order a new version adds to.
    static std::span<const OptionField> fields();
    // The option of that name (or old name); null when there is none.
    static const OptionField* field(std::string_view name);
};

}  // namespace tovan
