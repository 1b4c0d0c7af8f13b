#include "app/TreeEntryRecord.h"

#include "app/DownloadTaskRecord.h"
#include "app/EntryRecord.h"
#include "app/RecordIo.h"
#include "app/ServerRecord.h"
#include "tovan/TextualErrorInfo.h"

namespace tovan {
namespace {

// Version, an empty name, flags, has-server and the child count.
constexpr std::size_t SmallestNode = 1 + 4 + 1 + 1 + 4;

void check_depth(io::IStream& in, int depth) {
    if (depth < TreeEntryRecord::MaxDepth)
        return;
    TextualErrorInfo info("server tree nested too deeply");
    in.throw_failure_(&info);
}

// Kinds are stored in one byte, read back sign-extended.
std::uint32_t kind_from_byte(std::uint8_t kind) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(kind)));
}

template <class ReadChild>
void read_children(io::IStream& in, TreeEntry& node, ReadChild read_child) {
    std::uint32_t count = 0;
    in.read_count(count, SmallestNode);
    node.children.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) node.children.push_back(read_child());
}

}  // namespace

void TreeEntryRecord::write(io::OStream& out, const TreeEntry& node) {
    out.write_byte(Version);
    out.write_text(node.name);
    out.write_bool(node.auto_sync_disabled);
    out.write_u32(node.remaining_requests);
    out.write_bool(static_cast<bool>(node.server));
    if (node.server)
        ServerRecord::write(out, *node.server);
    out.write_u32(static_cast<std::uint32_t>(node.children.size()));
    for (const SharedPtr<TreeEntry>& child : node.children) write(out, *child);
    out.write_i64(node.last_scan_ms);
    out.write_byte(static_cast<std::uint8_t>(node.kind));
    out.write_bool(static_cast<bool>(node.download));
    if (node.download)
        DownloadTaskRecord::write(out, node.download->task());
}

SharedPtr<TreeEntry> TreeEntryRecord::read(io::IStream& in, int depth) {
    check_depth(in, depth);
    SharedPtr<TreeEntry> node = make_shared<TreeEntry>();
    const std::uint8_t version = read_record_version(in, Version, "server tree node");
    in.read_text(node->name);
    if (version >= 1)
        in.read_bool(node->auto_sync_disabled);
    if (version >= 2)
        in.read_u32(node->remaining_requests);
    bool has_server = false;
    in.read_bool(has_server);
    if (has_server)
        node->server = ServerRecord::read(in);
    node->kind = has_server ? TreeEntry::ServerNode : TreeEntry::Group;
    read_children(in, *node, [&] { return read(in, depth + 1); });
    if (version >= 3)
        in.read_i64(node->last_scan_ms);
    if (version >= 4) {
        std::uint8_t kind = 0;
        in.read_byte(kind);
        node->kind = kind_from_byte(kind);
        bool has_download = false;
        in.read_bool(has_download);
        if (has_download) {
            // Read stopped; whoever runs the program gives it the session and resumes it.
            node->download = tovan::make_shared<Downloader>(*DownloadTaskRecord::read(in), nullptr);
        }
    }
    return node;
}

void TreeEntryRecord::write_export(io::OStream& out, const TreeEntry& node) {
    out.write_byte(ExportVersion);
    out.write_text(node.name);
    out.write_bool(node.auto_sync_disabled);
    out.write_bool(static_cast<bool>(node.server));
    if (node.server) {
        out.write_byte(0);
        ServerRecord::write(out, *node.server);
        out.write_byte(0);
        EntryRecord::write(out, *node.server->root());
    }
    out.write_i64(node.last_scan_ms);
    out.write_byte(static_cast<std::uint8_t>(node.kind));
    out.write_u32(static_cast<std::uint32_t>(node.children.size()));
    for (const SharedPtr<TreeEntry>& child : node.children) write_export(out, *child);
}

SharedPtr<TreeEntry> TreeEntryRecord::read_export(io::IStream& in, int depth) {
    check_depth(in, depth);
    SharedPtr<TreeEntry> node = make_shared<TreeEntry>();
    read_record_version(in, ExportVersion, "exported node");
    in.read_text(node->name);
    in.read_bool(node->auto_sync_disabled);
    bool has_server = false;
    in.read_bool(has_server);
    if (has_server) {
        std::uint8_t unused = 0;
        in.read_byte(unused);
        node->server = ServerRecord::read(in);
        in.read_byte(unused);
        SharedPtr<Entry> root = Entry::create_folder("");
        EntryRecord::read_root(in, *root);
        node->server->set_root(root);
    }
    in.read_i64(node->last_scan_ms);
    std::uint8_t kind = 0;
    in.read_byte(kind);
    node->kind = kind_from_byte(kind);
    read_children(in, *node, [&] { return read_export(in, depth + 1); });
    return node;
}

}  // namespace tovan
