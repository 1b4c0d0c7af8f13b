#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/catalog/Entry.h"
#include "engine/tree/TreeEntry.h"

namespace tovan::test {

// Renders a folder's children compactly, in catalog order, for assertions:
// folders end in "/" and list their children in parentheses; marks follow the
// name: "~" contains changes, "+" new, "*" modified, "-" deleted.
// Example: "docs/~(a.txt+) old/-(x-) z.txt".
std::string render(const Entry& folder);

// Builds a detached, sorted listing from a space-separated description:
// "name" is a file of size 1 at time 1000, "name:size:time" sets both,
// "name/" is a folder.
SharedPtr<Entry> listing(std::string_view description, std::string_view path = "/");

// Adds a file or a folder to a catalog folder, as a scan finds them.
SharedPtr<Entry> add_file(const SharedPtr<Entry>& folder, std::string_view name,
                          std::uint64_t size = 1, std::int64_t time = 1000);
SharedPtr<Entry> add_folder(const SharedPtr<Entry>& folder, std::string_view name);

// A tree node of a new server at the URL, as the user adds one.
SharedPtr<TreeEntry> server_node(std::string_view url, std::string name = {});

}  // namespace tovan::test
