#pragma once

#include <string>

namespace tovan {

// Starts the program when the user logs in, through an XDG autostart entry
// named by the application id ("org.ferrovane.Ferrovane.desktop" in the
// autostart folder) that runs the program by its full path. Both places are
// given, so that tests and other callers never touch the user's real
// configuration by accident.
class Autostart {
public:
    // ApplicationId and ".desktop".
    static constexpr const char* EntryName = "org.ferrovane.Ferrovane.desktop";
    // What older versions named their entry.
    static constexpr const char* OldEntryName = "ferrovane.desktop";

    // $XDG_CONFIG_HOME/autostart (by default ~/.config/autostart), empty when
    // neither variable is set.
    static std::string default_folder();

    Autostart(std::string folder, std::string executable_path);

    // Writes the entry when enabled, removes it otherwise (a missing entry is no
    // error). Either way an entry under the old name that an older version wrote
    // goes, so the program never starts twice; any other file of that name is
    // the user's and stays. False when that fails; the system's reason is logged.
    bool apply(bool enabled) const;

    std::string entry_path() const;
    // The entry's text: a desktop entry whose Exec line quotes the program's path.
    std::string entry_text() const;

    // The program's path quoted for an Exec line of a desktop entry: inside the
    // double quotes, '"', '`', '$' and '\' take a backslash; the file's own string
    // escaping then doubles every backslash, and '%' is written "%%".
    static std::string quoted_for_exec(const std::string& path);
    // Whether the text is an entry as older versions wrote it: exactly their
    // keys, with an Exec of a program named "ferrovane".
    static bool is_old_entry(const std::string& text);

private:
    bool write_entry() const;
    bool remove_entry() const;
    bool remove_old_entry() const;

    std::string folder_;
    std::string executable_path_;
};

}  // namespace tovan
