#include "app/SystemPaths.h"

#include <cstdlib>

#include "tovan/Paths.h"

namespace tovan {

std::string SystemPaths::folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string SystemPaths::xdg_folder(const char* variable_value, const char* home,
                                    const std::string& fallback_below_home) {
    if (variable_value != nullptr && variable_value[0] == '/')
        return variable_value;
    if (home == nullptr || home[0] != '/')
        return {};
    return in_folder(home, fallback_below_home);
}

std::string SystemPaths::data_home() {
    return xdg_folder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), ".local/share");
}

std::string SystemPaths::state_home() {
    return xdg_folder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"), ".local/state");
}

std::string SystemPaths::config_home() {
    return xdg_folder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), ".config");
}

std::string SystemPaths::expand_home(const std::string& path) {
    if (path == "~" || path.starts_with("~/"))
        return environment("HOME") + path.substr(1);
    return path;
}

std::string SystemPaths::environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : std::string();
}

}  // namespace tovan
