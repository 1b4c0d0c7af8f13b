#include "cli/NodeFinder.h"

#include <algorithm>

#include "cli/CliError.h"
#include "tovan/Paths.h"

namespace tovan::cli {

SharedPtr<Entry> NodeFinder::Target::entry_or_root() const {
    if (entry)
        return entry;
    return node->server ? node->server->root() : SharedPtr<Entry>();
}

NodeFinder::NodeFinder(SharedPtr<TreeEntry> root) : root_(std::move(root)) {}

void NodeFinder::check_name(const std::string& name) {
    const bool has_control = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    if (name.empty())
        throw CliError("a name can't be empty; give one", CliError::Usage);
    if (name.find('/') != std::string::npos)
        throw CliError("the name \"" + name +
                           "\" holds \"/\", which commands read as NAME/PATH; "
                           "choose another",
                       CliError::Usage);
    if (has_control)
        throw CliError("the name holds a line break or another control character; choose another",
                       CliError::Usage);
}

std::string NodeFinder::bare_label(const TreeEntry& node) {
    std::string label = node.label();
    while (label.size() > 1 && ends_in_separator(label)) label.pop_back();
    return label;
}

void NodeFinder::collect(const SharedPtr<TreeEntry>& node, std::vector<Found>& all) const {
    for (const SharedPtr<TreeEntry>& child : node->children) {
        all.push_back({child, node.get()});
        collect(child, all);
    }
}

std::vector<NodeFinder::Found> NodeFinder::nodes() const {
    std::vector<Found> all;
    collect(root_, all);
    return all;
}

NodeFinder::Target NodeFinder::find(const std::string& text) const {
    const Found* best = nullptr;
    std::size_t best_size = 0;
    bool ambiguous = false;
    const std::vector<Found> all = nodes();
    for (const Found& each : all) {
        const std::string label = bare_label(*each.node);
        const bool matches =
            text == label || (text.starts_with(label) && text[label.size()] == '/');
        if (!matches || label.size() < best_size)
            continue;
        ambiguous = best != nullptr && label.size() == best_size;
        best = &each;
        best_size = label.size();
    }
    if (best == nullptr)
        throw CliError("no server or group is named \"" + text +
                       "\"; `ferrovane-cli list` shows their names");
    if (ambiguous)
        throw CliError("more than one server or group is named \"" + text.substr(0, best_size) +
                       "\"; give one of them another name");
    Target target{best->node, best->parent, {}, {}};
    if (text.size() > best_size + 1) {
        target.path = text.substr(best_size + 1);
        target.entry = find_entry(*target.node, target.path);
    }
    return target;
}

SharedPtr<Entry> NodeFinder::find_entry(const TreeEntry& node, const std::string& path) const {
    if (!node.server)
        throw CliError("\"" + node.label() + "\" is a group: name a server to reach \"" + path +
                       "\"");
    SharedPtr<Entry> entry = node.server->root();
    std::size_t start = 0;
    while (entry && start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            entry = entry->find_child(std::string_view(path).substr(start, end - start));
        start = end + 1;
    }
    if (!entry)
        throw CliError("\"" + path + "\" is not in the catalog of \"" + bare_label(node) +
                       "\"; `ferrovane-cli sync " + bare_label(node) + "` brings it up to date");
    return entry;
}

SharedPtr<TreeEntry> NodeFinder::find_group(const std::string& name) const {
    if (name.empty())
        return root_;
    const Target target = find(name);
    if (target.node->kind != TreeEntry::Group || !target.path.empty())
        throw CliError("\"" + name + "\" is not a group; `ferrovane-cli group add " + name +
                       "` makes one");
    return target.node;
}

bool NodeFinder::is_taken(const std::string& label) const {
    for (const Found& each : nodes())
        if (bare_label(*each.node) == label)
            return true;
    return false;
}

std::string NodeFinder::unused(const std::string& label) const {
    if (!is_taken(label))
        return label;
    for (int number = 2;; ++number) {
        const std::string candidate = label + " " + std::to_string(number);
        if (!is_taken(candidate))
            return candidate;
    }
}

// Messages that show a command for the server hold SERVER in its place.
std::string NodeFinder::error_text(const TreeEntry& node) {
    std::string error = node.server->last_error();
    const std::string placeholder = " trust SERVER ";
    for (std::size_t at = 0; (at = error.find(placeholder, at)) != std::string::npos;) {
        const std::string named = " trust " + bare_label(node) + " ";
        error.replace(at, placeholder.size(), named);
        at += named.size();
    }
    return error;
}

}  // namespace tovan::cli
