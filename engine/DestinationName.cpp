#include "engine/DestinationName.h"

namespace tovan {

bool DestinationName::is_safe(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

bool DestinationName::is_inside(std::string_view folder, std::string_view destination) {
    const std::string prefix = as_folder(std::string(folder));
    if (!destination.starts_with(prefix)) return false;
    std::string_view rest = destination.substr(prefix.size());
    for (;;) {
        const std::size_t slash = rest.find('/');
        if (!is_safe(rest.substr(0, slash))) return false;
        if (slash == std::string_view::npos) return true;
        rest.remove_prefix(slash + 1);
    }
}

std::string DestinationName::as_folder(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace tovan
