#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "engine/catalog/Entry.h"
#include "engine/tree/TreeEntry.h"

namespace tovan::cli {

// How one change reads: "+" new, "*" modified, "-" deleted (empty for an entry
// without a mark), then the server's name and the path inside it, which is also
// how commands name it, then a file's size and the entry's date
// ("+ Media/films/new.mkv  1.5 GB  2026-12-07 13:45").
class ChangeText {
public:
    // The server's name, "/" and the path below its root; folders end in "/".
    static std::string name(const TreeEntry& node, const Entry& entry);
    static std::string line(const TreeEntry& node, const Entry& entry);
    // found: when the change was found, 0 when not known. Every record has the
    // same keys; what is not known or does not apply is null.
    static nlohmann::json record(const TreeEntry& node, const Entry& entry, std::int64_t found = 0);
    // "  1.5 GB  2026-12-07 13:45": a file's size, then the date where known.
    static std::string size_and_date(const Entry& entry);
    // The entry's size in bytes, null for a folder.
    static nlohmann::json size(const Entry& entry);
    // The ISO 8601 form of a time, null when not known.
    static nlohmann::json time(std::int64_t time);
};

}  // namespace tovan::cli
