#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "engine/catalog/Entry.h"
#include "engine/tree/TreeEntry.h"

namespace tovan::cli {

// How one change reads: "+" new, "*" modified, "-" deleted (empty for an entry
// without a mark), then the server's
// name and the path inside it, which is also how commands name it
// ("+ Media/films/new.mkv").
class ChangeText {
public:
    // The server's name, "/" and the path below its root; folders end in "/".
    static std::string name(const TreeEntry& node, const Entry& entry);
    static std::string line(const TreeEntry& node, const Entry& entry);
    static nlohmann::json record(const TreeEntry& node, const Entry& entry);
};

}  // namespace tovan::cli
