#include "app/Options.h"

#include <sys/stat.h>

#include <bit>
#include <cerrno>
#include <exception>

#include "app/DamagedFiles.h"
#include "app/RecordIo.h"
#include "app/SystemPaths.h"
#include "tovan/SafeSave.h"
#include "tovan/io/IFStream.h"
#include "tovan/io/OFStream.h"

namespace tovan {
namespace {

void read_flag(io::IStream& in, bool& flag) {
    std::uint8_t byte = 0;
    in.read_byte(byte);
    flag = byte != 0;
}

// Reading a list first empties it; the stored texts are then appended in order.
void read_list(io::IStream& in, std::vector<std::string>& list) {
    list.clear();
    const std::uint32_t count = read_list_count(in, sizeof(std::uint32_t));
    for (std::uint32_t at = 0; at < count; ++at) in.read_text(list.emplace_back());
}

void read_float(io::IStream& in, float& value) {
    std::uint32_t bits = 0;
    in.read_u32(bits);
    value = std::bit_cast<float>(bits);
}

bool file_missing(const std::string& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) != 0 && errno == ENOENT;
}

template <typename T>
void keep_between(T& value, T low, T high, T fallback) {
    if (value < low || value > high)
        value = fallback;
}

}  // namespace

void Options::set_defaults() {
    Options defaults;
    defaults.download_folders = std::move(download_folders);
    defaults.download_urls = std::move(download_urls);
    *this = std::move(defaults);
}

bool Options::load(const std::string& data_folder, DamagedFiles& damaged) {
    const std::string path = SystemPaths::in_folder(data_folder, FileName);
    *this = Options();
    if (file_missing(path))
        return false;
    try {
        io::IFStream in(path);
        Options stored;
        stored.read(in);
        *this = std::move(stored);
        return true;
    } catch (const std::exception& failure) {
        damaged.found(path, "the options", failure.what(), "the default options are used");
        return false;
    }
}

void Options::save(const std::string& data_folder) const {
    SafeSave::write(data_folder, FileName, [this](io::OFStream& out) { write(out); });
}

// Fields come in file order, which is not the order of the declarations; a field
// is present from the version that introduced it on.
void Options::read(io::IStream& in) {
    const std::uint8_t version = read_record_version(in, Version, "the options record");
    if (version >= 10) {
        read_flag(in, minimize_to_tray_on_close);
        read_flag(in, minimize_to_tray);
    }
    read_flag(in, show_changed_only);
    read_flag(in, auto_save);
    read_flag(in, mark_deleted);
    if (version >= 3)
        read_flag(in, mark_changed_by_mtime);
    read_flag(in, show_scan_depth);
    if (version >= 2) {
        read_flag(in, show_scan_time);
        read_flag(in, full_scan_new_folders);
        read_flag(in, keep_empty_folder_marks);
    }
    read_flag(in, show_online_only);
    read_flag(in, update_status_enabled);
    in.read_u32(update_status_minutes);
    read_flag(in, synchronize_enabled);
    in.read_u32(synchronize_minutes);
    if (version >= 9) {
        read_flag(in, unmark_old_enabled);
        in.read_u32(unmark_old_hours);
    }
    std::uint8_t action = 0;
    in.read_byte(action);
    startup_action = action;
    if (version >= 1) {
        in.read_text(search_mask);
        in.read_i32(search_only_online);
        in.read_i32(search_only_changed);
        in.read_i32(search_directories);
        read_float(in, search_min_size_mb);
    }
    if (version >= 4)
        in.read_text(download_folder);
    if (version >= 7)
        read_list(in, download_folders);
    if (version >= 8)
        read_list(in, download_urls);
    if (version >= 6)
        read_flag(in, start_with_windows);
    keep_in_range();
}

void Options::write(io::OStream& out) const {
    out.write_byte(Version);
    out.write_bool(minimize_to_tray_on_close);
    out.write_bool(minimize_to_tray);
    out.write_bool(show_changed_only);
    out.write_bool(auto_save);
    out.write_bool(mark_deleted);
    out.write_bool(mark_changed_by_mtime);
    out.write_bool(show_scan_depth);
    out.write_bool(show_scan_time);
    out.write_bool(full_scan_new_folders);
    out.write_bool(keep_empty_folder_marks);
    out.write_bool(show_online_only);
    out.write_bool(update_status_enabled);
    out.write_u32(update_status_minutes);
    out.write_bool(synchronize_enabled);
    out.write_u32(synchronize_minutes);
    out.write_bool(unmark_old_enabled);
    out.write_u32(unmark_old_hours);
    out.write_byte(static_cast<std::uint8_t>(startup_action));
    out.write_text(search_mask);
    out.write_i32(search_only_online);
    out.write_i32(search_only_changed);
    out.write_i32(search_directories);
    out.write_u32(std::bit_cast<std::uint32_t>(search_min_size_mb));
    out.write_text(download_folder);
    out.write_texts(download_folders);
    out.write_texts(download_urls);
    out.write_bool(start_with_windows);
}

ScanOptions Options::scan_options() const {
    ScanOptions scan;
    scan.mark_deleted = mark_deleted;
    scan.mark_changed_by_mtime = mark_changed_by_mtime;
    scan.full_scan_new_folders = full_scan_new_folders;
    scan.keep_empty_folder_marks = keep_empty_folder_marks;
    scan.unmark_old_enabled = unmark_old_enabled;
    scan.unmark_old_hours = unmark_old_hours;
    return scan;
}

void Options::keep_in_range() {
    const Options defaults;
    constexpr std::uint32_t Shortest = 1;
    constexpr std::uint32_t Longest = 9999;
    keep_between(update_status_minutes, Shortest, Longest, defaults.update_status_minutes);
    keep_between(synchronize_minutes, Shortest, Longest, defaults.synchronize_minutes);
    keep_between(unmark_old_hours, Shortest, Longest, defaults.unmark_old_hours);
    keep_between(startup_action, std::int32_t{NoStartupAction}, std::int32_t{FullSynchronize},
                 defaults.startup_action);
}

}  // namespace tovan
