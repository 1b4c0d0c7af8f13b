#pragma once

#include <string>
#include <vector>

#include "engine/catalog/Entry.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan::cli {

// Finds what a command names as NAME[/PATH]: a group or server by its label
// anywhere in the servers tree, and below a server a folder or file of its
// catalog. Labels may hold "/" themselves (a server without a name shows its
// location), so the longest label that the text starts with wins.
class NodeFinder {
public:
    struct Target {
        SharedPtr<TreeEntry> node;
        TreeEntry* parent = nullptr;  // the group that holds the node
        SharedPtr<Entry> entry;       // the catalog entry; empty for the node itself
        std::string path;             // the part after the node's label

        // The entry, or the server's root when the node itself was named.
        SharedPtr<Entry> entry_or_root() const;
    };

    explicit NodeFinder(SharedPtr<TreeEntry> root);

    // Raises CliError when nothing of that name is there.
    Target find(const std::string& text) const;
    // A group (the root for an empty name); raises CliError for anything else.
    SharedPtr<TreeEntry> find_group(const std::string& name) const;

    bool is_taken(const std::string& label) const;
    // The label, or the label with " 2", " 3"... when it is taken.
    std::string unused(const std::string& label) const;

    // Raises CliError for a name that commands could not tell apart from a
    // path or that would break the one-line-per-entry output.
    static void check_name(const std::string& name);

    // The label as names are matched: without a trailing separator.
    static std::string bare_label(const TreeEntry& node);
    // The server's last error, with its name where the message shows a command for it.
    static std::string error_text(const TreeEntry& node);

private:
    struct Found {
        SharedPtr<TreeEntry> node;
        TreeEntry* parent = nullptr;
    };
    void collect(const SharedPtr<TreeEntry>& node, std::vector<Found>& all) const;
    std::vector<Found> nodes() const;
    SharedPtr<Entry> find_entry(const TreeEntry& node, const std::string& path) const;

    SharedPtr<TreeEntry> root_;
};

}  // namespace tovan::cli
