#pragma once

#include "engine/catalog/Entry.h"
#include "tovan/io/IStream.h"
#include "tovan/io/OStream.h"

namespace tovan {

// A catalog entry with everything below it, as catalog and export files keep it:
// version byte, name, flag byte, then a file's size, previous size, time and
// previous time, or a folder's children, last listing duration and time.
// Records of versions 0 to 4 are read; version 4 is written.
class EntryRecord {
public:
    static constexpr std::uint8_t Version = 4;
    // Deeper nesting can only come from a damaged file, and would exhaust the stack.
    static constexpr int MaxDepth = 4096;

    // Writes the entry and its subtree, holding the catalog lock for the walk so
    // that a scan merging meanwhile only waits.
    static void write(io::OStream& out, const Entry& entry);
    // Reads a record into root, an empty folder (a server's root keeps its object).
    static void read_root(io::IStream& in, Entry& root);

private:
    static void write_entry(io::OStream& out, const Entry& entry);
    static SharedPtr<Entry> read_entry(io::IStream& in, int depth);
    static void read_folder_body(io::IStream& in, Entry& folder, std::uint8_t version, int depth);
};

}  // namespace tovan
