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

// File order, which is not the order of the declarations.
constexpr OptionField Fields[] = {
    {"minimize_to_tray_on_close", 10, Flag{&Options::minimize_to_tray_on_close}},
    {"minimize_to_tray", 10, Flag{&Options::minimize_to_tray}},
    {"show_changed_only", 0, Flag{&Options::show_changed_only}},
    {"auto_save", 0, Flag{&Options::auto_save}},
    {"mark_deleted", 0, Flag{&Options::mark_deleted}},
    {"mark_changed_by_mtime", 3, Flag{&Options::mark_changed_by_mtime}},
    {"show_scan_depth", 0, Flag{&Options::show_scan_depth}},
    {"show_scan_time", 2, Flag{&Options::show_scan_time}},
    {"full_scan_new_folders", 2, Flag{&Options::full_scan_new_folders}},
    {"keep_empty_folder_marks", 2, Flag{&Options::keep_empty_folder_marks}},
    {"show_online_only", 0, Flag{&Options::show_online_only}},
    {"update_status_enabled", 0, Flag{&Options::update_status_enabled}},
    {"update_status_minutes", 0, Number{&Options::update_status_minutes, Shortest, Longest}},
    {"synchronize_enabled", 0, Flag{&Options::synchronize_enabled}},
    {"synchronize_minutes", 0, Number{&Options::synchronize_minutes, Shortest, Longest}},
    {"unmark_old_enabled", 9, Flag{&Options::unmark_old_enabled}},
    {"unmark_old_hours", 9, Number{&Options::unmark_old_hours, Shortest, Longest}},
    {"startup_action", 0, Choice{&Options::startup_action, Options::FullSynchronize}},
    {"search_mask", 1, Text{&Options::search_mask}},
    {"search_only_online", 1, FlagWord{&Options::search_only_online}},
    {"search_only_changed", 1, FlagWord{&Options::search_only_changed}},
    {"search_directories", 1, FlagWord{&Options::search_directories}},
    {"search_min_size_mb", 1, Megabytes{&Options::search_min_size_mb}},
    {"download_folder", 4, Text{&Options::download_folder}},
    {"download_folders", 7, TextList{&Options::download_folders}},
    {"download_urls", 8, TextList{&Options::download_urls}},
    {"start_at_login", 6, Flag{&Options::start_at_login}, "start_with_windows"},
    {"notify_changes", 11, Flag{&Options::notify_changes}},
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
