#include "app/Options.h"

#include <sys/stat.h>

#include <cerrno>
#include <exception>

#include "app/DamagedFiles.h"
#include "app/RecordIo.h"
#include "tovan/Paths.h"
#include "tovan/SafeSave.h"
#include "tovan/io/IFStream.h"
#include "tovan/io/OFStream.h"

namespace tovan {
namespace {

using Flag = OptionField::Flag;
using FlagWord = OptionField::FlagWord;
using Number = OptionField::Number;
using Choice = OptionField::Choice;
using Megabytes = OptionField::Megabytes;
using Text = OptionField::Text;
using TextList = OptionField::TextList;

// The periods' range is the one the options dialog allows.
constexpr std::uint32_t Shortest = 1;
constexpr std::uint32_t Longest = 9999;

constexpr auto Desktop = OptionField::DesktopOnly;

// File order, which is not the order of the declarations.
constexpr OptionField Fields[] = {
    {"minimize_to_tray_on_close", 10, Flag{&Options::minimize_to_tray_on_close},
     "Closing the window hides it to the tray", Desktop},
    {"minimize_to_tray", 10, Flag{&Options::minimize_to_tray},
     "Minimizing the window hides it to the tray", Desktop},
    {"show_changed_only", 0, Flag{&Options::show_changed_only},
     "The lists show only what is marked new, modified or deleted", Desktop},
    {"auto_save", 0, Flag{&Options::auto_save}, "Save each catalog once its scan is done"},
    {"mark_deleted", 0, Flag{&Options::mark_deleted},
     "Mark what is gone as deleted instead of dropping it at once"},
    {"mark_changed_by_mtime", 3, Flag{&Options::mark_changed_by_mtime},
     "A file whose time changed is modified, even at the same size"},
    {"show_scan_depth", 0, Flag{&Options::show_scan_depth},
     "The tree shows each folder's scan depth", Desktop},
    {"show_scan_time", 2, Flag{&Options::show_scan_time},
     "The tree shows when each server was last scanned", Desktop},
    {"full_scan_new_folders", 2, Flag{&Options::full_scan_new_folders},
     "A folder seen for the first time is scanned in full, whatever the depth"},
    {"keep_empty_folder_marks", 2, Flag{&Options::keep_empty_folder_marks},
     "An empty folder keeps its mark"},
    {"show_online_only", 0, Flag{&Options::show_online_only},
     "The tree shows only the servers online now", Desktop},
    {"update_status_enabled", 0, Flag{&Options::update_status_enabled},
     "Check on a schedule which servers are online"},
    {"update_status_minutes", 0, Number{&Options::update_status_minutes, Shortest, Longest},
     "Minutes between two checks of which servers are online"},
    {"synchronize_enabled", 0, Flag{&Options::synchronize_enabled},
     "Scan the servers on a schedule"},
    {"synchronize_minutes", 0, Number{&Options::synchronize_minutes, Shortest, Longest},
     "Minutes between two scheduled scans"},
    {"unmark_old_enabled", 9, Flag{&Options::unmark_old_enabled},
     "Each scan takes the marks off files older than unmark_old_hours"},
    {"unmark_old_hours", 9, Number{&Options::unmark_old_hours, Shortest, Longest},
     "Age in hours of the files whose marks unmark_old_enabled takes off"},
    {"startup_action", 0, Choice{&Options::startup_action, Options::FullSynchronize},
     "At start: 0 nothing, 1 check which servers are online, 2 scan them all"},
    {"search_mask", 1, Text{&Options::search_mask}, "The search window's last masks", Desktop},
    {"search_only_online", 1, FlagWord{&Options::search_only_online},
     "The search window looks only on the servers online", Desktop},
    {"search_only_changed", 1, FlagWord{&Options::search_only_changed},
     "The search window finds only what is marked", Desktop},
    {"search_directories", 1, FlagWord{&Options::search_directories},
     "The search window finds folders too", Desktop},
    {"search_min_size_mb", 1, Megabytes{&Options::search_min_size_mb},
     "The search window's smallest size, in MB", Desktop},
    {"download_folder", 4, Text{&Options::download_folder},
     "Where downloads go when no folder is given"},
    {"download_folders", 7, TextList{&Options::download_folders},
     "The folders downloaded into lately, offered by the folder dialog", Desktop},
    {"download_urls", 8, TextList{&Options::download_urls},
     "The URLs downloaded lately, offered by the download dialog", Desktop},
    {"start_at_login", 6, Flag{&Options::start_at_login},
     "Start the desktop program when you log in", Desktop, "start_with_windows"},
    {"notify_changes", 11, Flag{&Options::notify_changes},
     "A notification tells of new changes while the window is hidden", Desktop},
};

bool file_missing(const std::string& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) != 0 && errno == ENOENT;
}

}  // namespace

void Options::set_defaults() {
    Options defaults;
    defaults.download_folders = std::move(download_folders);
    defaults.download_urls = std::move(download_urls);
    *this = std::move(defaults);
}

bool Options::load(const std::string& data_folder, DamagedFiles& damaged) {
    const std::string path = in_folder(data_folder, FileName);
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

// A field is present from the version that introduced it on.
void Options::read(io::IStream& in) {
    const std::uint8_t version = read_record_version(in, Version, "the options record");
    for (const OptionField& each : Fields)
        if (version >= each.since)
            each.read(in, *this);
}

void Options::write(io::OStream& out) const {
    out.write_byte(Version);
    for (const OptionField& each : Fields) each.write(out, *this);
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

std::span<const OptionField> Options::fields() {
    return Fields;
}

const OptionField* Options::field(std::string_view name) {
    for (const OptionField& each : Fields)
        if (each.named(name))
            return &each;
    return nullptr;
}

}  // namespace tovan
