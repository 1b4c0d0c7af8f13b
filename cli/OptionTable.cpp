#include "cli/OptionTable.h"

#include <charconv>
#include <cstdint>

namespace tovan::cli {
namespace {

bool parse_flag(const std::string& text, bool& out) {
    if (text == "true" || text == "on" || text == "yes" || text == "1")
        return out = true, true;
    if (text == "false" || text == "off" || text == "no" || text == "0")
        return out = false, true;
    return false;
}

bool parse_number(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size() && out >= low && out <= high;
}

template <class Field>
OptionTable::Row flag(const char* key, Field field) {
    return {key, [field](const Options& o) { return nlohmann::json(static_cast<bool>(o.*field)); },
            [field](Options& o, const std::string& text) {
                bool value = false;
                if (!parse_flag(text, value))
                    return false;
                o.*field = value;
                return true;
            },
            "true or false"};
}

template <class Field>
OptionTable::Row number(const char* key, Field field, std::int64_t low, std::int64_t high) {
    return {key, [field](const Options& o) { return nlohmann::json(o.*field); },
            [field, low, high](Options& o, const std::string& text) {
                std::int64_t value = 0;
                if (!parse_number(text, low, high, value))
                    return false;
                o.*field = static_cast<std::remove_reference_t<decltype(o.*field)>>(value);
                return true;
            },
            std::to_string(low) + " to " + std::to_string(high)};
}

OptionTable::Row text_option(const char* key, std::string Options::*field) {
    return {key, [field](const Options& o) { return nlohmann::json(o.*field); },
            [field](Options& o, const std::string& text) {
                o.*field = text;
                return true;
            },
            "any text"};
}

OptionTable::Row min_size() {
    return {"search_min_size_mb",
            [](const Options& o) { return nlohmann::json(o.search_min_size_mb); },
            [](Options& o, const std::string& text) {
                float value = 0;
                const auto [end, error] =
                    std::from_chars(text.data(), text.data() + text.size(), value);
                if (error != std::errc() || end != text.data() + text.size() || !(value >= 0))
                    return false;
                o.search_min_size_mb = value;
                return true;
            },
            "a number of megabytes, 0 or more"};
}

OptionTable::Row list(const char* key, std::vector<std::string> Options::*field) {
    return {key, [field](const Options& o) { return nlohmann::json(o.*field); }, {}, ""};
}

std::vector<OptionTable::Row> make_rows() {
    return {flag("minimize_to_tray", &Options::minimize_to_tray),
            flag("minimize_to_tray_on_close", &Options::minimize_to_tray_on_close),
            flag("show_changed_only", &Options::show_changed_only),
            flag("auto_save", &Options::auto_save),
            flag("mark_deleted", &Options::mark_deleted),
            flag("mark_changed_by_mtime", &Options::mark_changed_by_mtime),
            flag("show_scan_depth", &Options::show_scan_depth),
            flag("show_scan_time", &Options::show_scan_time),
            flag("keep_empty_folder_marks", &Options::keep_empty_folder_marks),
            flag("full_scan_new_folders", &Options::full_scan_new_folders),
            flag("show_online_only", &Options::show_online_only),
            flag("update_status_enabled", &Options::update_status_enabled),
            number("update_status_minutes", &Options::update_status_minutes, 1, 9999),
            flag("synchronize_enabled", &Options::synchronize_enabled),
            number("synchronize_minutes", &Options::synchronize_minutes, 1, 9999),
            flag("unmark_old_enabled", &Options::unmark_old_enabled),
            number("unmark_old_hours", &Options::unmark_old_hours, 1, 9999),
            flag("start_with_windows", &Options::start_with_windows),
            number("startup_action", &Options::startup_action, 0, 2),
            text_option("search_mask", &Options::search_mask),
            flag("search_only_online", &Options::search_only_online),
            flag("search_only_changed", &Options::search_only_changed),
            flag("search_directories", &Options::search_directories),
            min_size(),
            text_option("download_folder", &Options::download_folder),
            list("download_folders", &Options::download_folders),
            list("download_urls", &Options::download_urls)};
}

}  // namespace

const std::vector<OptionTable::Row>& OptionTable::rows() {
    static const std::vector<Row> rows = make_rows();
    return rows;
}

const OptionTable::Row* OptionTable::find(const std::string& key) {
    for (const Row& row : rows())
        if (row.key == key)
            return &row;
    return nullptr;
}

std::string OptionTable::text(const nlohmann::json& value) {
    return value.is_string() ? value.get<std::string>() : value.dump();
}

}  // namespace tovan::cli
