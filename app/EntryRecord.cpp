#include "app/EntryRecord.h"

#include <vector>

#include "app/RecordIo.h"
#include "engine/catalog/CatalogLock.h"
#include "tovan/TextualErrorInfo.h"
#include "tovan/io/Failure.h"

namespace tovan {
namespace {

constexpr std::uint8_t StateBits = 0x07;
constexpr std::uint8_t FolderBit = 0x08;
// Version byte, an empty name, flags and the smallest body (a folder's count).
constexpr std::size_t SmallestRecord = 1 + 4 + 1 + 4;

[[noreturn]] void damaged(io::IStream& in, const char* what) {
    TextualErrorInfo info(what);
    in.throw_failure_(&info);
}

struct Head {
    std::uint8_t version = 0;
    std::string name;
    std::uint8_t flags = 0;
};

Head read_head(io::IStream& in) {
    Head head;
    head.version = read_record_version(in, EntryRecord::Version, "catalog entry");
    in.read_text(head.name);
    in.read_byte(head.flags);
    if ((head.flags & StateBits) > static_cast<std::uint8_t>(EntryState::Deleted))
        damaged(in, "catalog entry with an unknown change state");
    return head;
}

void read_file_body(io::IStream& in, Entry& file, std::uint8_t version) {
    std::uint64_t size = 0, previous_size = 0;
    std::int64_t time = 0, previous_time = 0;
    in.read_u64(size);
    if (version >= 2)
        in.read_u64(previous_size);
    in.read_i64(time);
    if (version >= 3)
        in.read_i64(previous_time);
    file.set_size(size);
    file.set_time(time);
    if (file.state() == EntryState::Modified && (previous_size != size || previous_time != time)) {
        file.set_previous_size(previous_size);
        file.set_previous_time(previous_time);
    }
}

}  // namespace

void EntryRecord::write(io::OStream& out, const Entry& entry) {
    CatalogGuard guard(catalog_lock());
    write_entry(out, entry);
}

void EntryRecord::write_entry(io::OStream& out, const Entry& entry) {
    out.write_byte(Version);
    out.write_text(entry.name());
    out.write_byte(static_cast<std::uint8_t>(static_cast<std::uint8_t>(entry.state()) |
                                             (entry.is_folder() ? FolderBit : 0)));
    if (!entry.is_folder()) {
        out.write_u64(entry.size());
        out.write_u64(entry.previous_size());
        out.write_i64(entry.time());
        out.write_i64(entry.previous_time());
        return;
    }
    out.write_u32(static_cast<std::uint32_t>(entry.child_count()));
    entry.for_each_child([&](const InplaceRef<Entry>& child) { write_entry(out, *child); });
    out.write_i64(entry.last_listing_ms());
    out.write_i64(entry.time());
}

void EntryRecord::read_root(io::IStream& in, Entry& root) {
    const Head head = read_head(in);
    if (!(head.flags & FolderBit))
        damaged(in, "catalog whose root is not a folder");
    root.set_name(head.name);
    root.store_state(static_cast<EntryState>(head.flags & StateBits));
    read_folder_body(in, root, head.version, 0);
}

SharedPtr<Entry> EntryRecord::read_entry(io::IStream& in, int depth) {
    const Head head = read_head(in);
    const bool folder = (head.flags & FolderBit) != 0;
    SharedPtr<Entry> entry =
        folder ? Entry::create_folder(head.name) : Entry::create_file(head.name, 0, 0);
    // The file holds the marks of parents and children as they were settled.
    entry->store_state(static_cast<EntryState>(head.flags & StateBits));
    if (folder)
        read_folder_body(in, *entry, head.version, depth);
    else
        read_file_body(in, *entry, head.version);
    return entry;
}

void EntryRecord::read_folder_body(io::IStream& in, Entry& folder, std::uint8_t version,
                                   int depth) {
    if (depth >= MaxDepth)
        damaged(in, "catalog nested too deeply");
    std::uint32_t count = 0;
    in.read_count(count, SmallestRecord);
    std::vector<InplaceRef<Entry>> children;
    children.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) children.emplace_back(read_entry(in, depth + 1));
    // Files hold children in catalog order; one that does not (damaged, or from
    // another program) is put in order, which lookups by name rely on.
    folder.add_children(std::move(children));
    std::int64_t last_listing_ms = 0;
    if (version >= 1)
        in.read_i64(last_listing_ms);
    folder.set_last_listing_ms(last_listing_ms);
    if (version >= 4) {
        std::int64_t time = 0;
        in.read_i64(time);
        folder.set_time(time);
    }
}

}  // namespace tovan
