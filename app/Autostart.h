#pragma once

#include <string>

namespace tovan {

// Starts the program when the user logs in, through an XDG autostart entry
// ("ferrovane.desktop" in the autostart folder) that runs the program by its full
// path. Both places are given, so that tests and other callers never touch the
// user's real configuration by accident.
class Autostart {
public:
    static constexpr const char* EntryName = "ferrovane.desktop";

    // $XDG_CONFIG_HOME/autostart (by default ~/.config/autostart), empty when
    // neither variable is set.
    static std::string default_folder();

    Autostart(std::string folder, std::string executable_path);

    // Writes the entry when enabled, removes it otherwise (a missing entry is no
    // error). False when that fails; the system's reason is logged.
    bool apply(bool enabled) const;

    std::string entry_path() const;
    // The entry's text: a desktop entry whose Exec line quotes the program's path.
    std::string entry_text() const;

    // The program's path quoted for an Exec line of a desktop entry: inside the
    // double quotes, '"', '`', '$' and '\' take a backslash; the file's own string
    // escaping then doubles every backslash, and '%' is written "%%".
    static std::string quoted_for_exec(const std::string& path);

private:
    bool write_entry() const;
    bool remove_entry() const;

    std::string folder_;
    std::string executable_path_;
};

}  // namespace tovan
