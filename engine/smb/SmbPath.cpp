#include "engine/smb/SmbPath.h"

#include "engine/catalog/UrlEscapes.h"
#include "tovan/Paths.h"

namespace tovan {
namespace {

// "/a//b\c/" becomes "/a/b/c"; a path of separators only becomes empty.
std::string clean_path(std::string_view text) {
    std::string path;
    for (char c : text) {
        if (!is_separator(c))
            path += c;
        else if (path.empty() || path.back() != '/')
            path += '/';
    }
    if (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

}  // namespace

SmbPath SmbPath::read(std::string_view full_path) {
    if (full_path.starts_with("smb://"))
        full_path.remove_prefix(6);
    while (!full_path.empty() && is_separator(full_path.front())) full_path.remove_prefix(1);
    std::size_t split = 0;
    while (split < full_path.size() && !is_separator(full_path[split])) ++split;
    return {std::string(full_path.substr(0, split)), clean_path(full_path.substr(split))};
}

std::string SmbPath::url(std::string_view host_address) const {
    const std::string_view server = host_address.empty() ? std::string_view(host) : host_address;
    return "smb://" + std::string(server) + percent_encoded(path, "/") + "/";
}

std::string SmbPath::file_url() const {
    std::string file = url();
    file.pop_back();
    return file;
}

}  // namespace tovan
