#pragma once

#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"
#include "tovan/io/IStream.h"
#include "tovan/io/OStream.h"

namespace tovan {

// A node of the server tree with everything below it, in the two forms the
// program keeps: the stored form of "servers.dat" and "downloads.dat" (server
// settings and download tasks, catalogs in files of their own), and the export
// form of ".srv" files (server settings with their whole catalogs, no tasks).
class TreeEntryRecord {
public:
    static constexpr std::uint8_t Version = 5;
    static constexpr std::uint8_t ExportVersion = 0;
    // Deeper nesting can only come from a damaged file, and would exhaust the stack.
    static constexpr int MaxDepth = 1024;

    static void write(io::OStream& out, const TreeEntry& node);
    static SharedPtr<TreeEntry> read(io::IStream& in, int depth = 0);

    static void write_export(io::OStream& out, const TreeEntry& node);
    static SharedPtr<TreeEntry> read_export(io::IStream& in, int depth = 0);
};

}  // namespace tovan
