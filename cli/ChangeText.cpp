#include "cli/ChangeText.h"

#include <algorithm>

#include "app/TextFormats.h"
#include "app/TimeText.h"
#include "cli/JsonValue.h"
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
    return std::string(change_sign(entry.state())) + " " + name(node, entry) + size_and_date(entry);
}

nlohmann::json ChangeText::record(const TreeEntry& node, const Entry& entry, std::int64_t found) {
    return {{"change", change_sign(entry.state())},
            {"server", NodeFinder::bare_label(node)},
            {"name", name(node, entry)},
            {"folder", entry.is_folder()},
            {"url", node.server ? nlohmann::json(ServerUrl::shown(*node.server, &entry)) : nullptr},
            {"size", size(entry)},
            {"date", time(entry.time())},
            {"time", time(found)}};
}

std::string ChangeText::size_and_date(const Entry& entry) {
    std::string text;
    if (!entry.is_folder())
        text += "  " + size_text(static_cast<std::int64_t>(entry.size()));
    if (const std::string date = date_text(entry.time()); !date.empty())
        text += "  " + date;
    return text;
}

nlohmann::json ChangeText::size(const Entry& entry) {
    return entry.is_folder() ? nlohmann::json(nullptr) : nlohmann::json(entry.size());
}

nlohmann::json ChangeText::time(std::int64_t time) {
    return text_or_null(iso_time_text(time));
}

}  // namespace tovan::cli
