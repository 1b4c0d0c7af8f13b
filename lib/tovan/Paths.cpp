#include "tovan/Paths.h"

#include <unistd.h>

#include <climits>

namespace tovan {

bool is_separator(char c) {
    return c == '/' || c == '\\';
}

bool ends_in_separator(std::string_view path) {
    return !path.empty() && is_separator(path.back());
}

std::string last_path_part(std::string_view path) {
    while (ends_in_separator(path)) path.remove_suffix(1);
    const std::size_t separator = path.find_last_of("/\\");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string in_folder(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path += name;
}

std::string program_path() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    return std::string(path, static_cast<std::size_t>(length));
}

}  // namespace tovan
