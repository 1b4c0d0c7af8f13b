#include "cli/ChangeText.h"

#include <algorithm>

#include "app/TextFormats.h"
#include "cli/NodeFinder.h"
#include "cli/ServerUrl.h"

namespace tovan::cli {

std::string ChangeText::name(const TreeEntry& node, const Entry& entry) {
    const std::string root = node.server ? node.server->root()->full_path() : std::string();
    std::string path = entry.full_path();
    path = path.starts_with(root) ? path.substr(root.size()) : path;
    std::replace(path.begin(), path.end(), '\\', '/');
    while (path.starts_with('/')) path.erase(0, 1);
    std::string text = NodeFinder::bare_label(node);
    if (!path.empty())
        text += "/" + path;
    if (entry.is_folder() && !text.ends_with('/'))
        text += '/';
    return text;
}

std::string ChangeText::line(const TreeEntry& node, const Entry& entry) {
    return std::string(change_sign(entry.state())) + " " + name(node, entry);
}

nlohmann::json ChangeText::record(const TreeEntry& node, const Entry& entry) {
    nlohmann::json record = {{"change", change_sign(entry.state())},
                             {"server", NodeFinder::bare_label(node)},
                             {"name", name(node, entry)},
                             {"folder", entry.is_folder()}};
    if (node.server)
        record["url"] = ServerUrl::shown(*node.server, &entry);
    if (!entry.is_folder())
        record["size"] = entry.size();
    return record;
}

}  // namespace tovan::cli
