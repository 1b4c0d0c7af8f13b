#pragma once

#include <string>

namespace tovan {

// Where the system keeps things for this user: the XDG base folders. Empty
// results mean "unknown", never a guess, so that nothing is ever written to a
// made-up place.
class SystemPaths {
public:
    // The folder part of a path, without the last "/" (empty when there is none).
    static std::string folder_of(const std::string& path);

    // An XDG base folder: the variable's value when it holds an absolute path
    // (a relative one is to be ignored), else home followed by fallback_below_home;
    // empty when neither is known.
    static std::string xdg_folder(const char* variable_value, const char* home,
                                  const std::string& fallback_below_home);
    // $XDG_DATA_HOME, by default ~/.local/share.
    static std::string data_home();
    // $XDG_STATE_HOME, by default ~/.local/state.
    static std::string state_home();
    // $XDG_CONFIG_HOME, by default ~/.config.
    static std::string config_home();

    // "~" and "~/..." as the shell reads them, with $HOME; any other text as it is.
    static std::string expand_home(const std::string& path);
    // The value of an environment variable, empty when it is not set.
    static std::string environment(const char* name);
};

}  // namespace tovan
