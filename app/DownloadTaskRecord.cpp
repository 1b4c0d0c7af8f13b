#include "app/DownloadTaskRecord.h"

#include "app/RecordIo.h"
#include "app/ServerRecord.h"

namespace tovan {
namespace {

// Version, two empty texts and two sizes.
constexpr std::size_t SmallestItem = 1 + 4 + 4 + 8 + 8;

// Item flags from version 3 on.
constexpr std::uint8_t InPlace = 1;
constexpr std::uint8_t SavedAtDestination = 2;

void write_items(io::OStream& out, const std::vector<DownloadItem>& items) {
    out.write_u32(static_cast<std::uint32_t>(items.size()));
    for (const DownloadItem& item : items) {
        out.write_byte(DownloadTaskRecord::ItemVersion);
        out.write_text(item.source);
        out.write_text(item.destination);
        out.write_u64(item.size);
        out.write_u64(item.downloaded);
        // Most files keep their name: the path is not stored twice for them.
        const bool at_destination = item.saved_as == item.destination;
        out.write_byte(static_cast<std::uint8_t>((item.in_place ? InPlace : 0) |
                                                 (at_destination ? SavedAtDestination : 0)));
        out.write_text(at_destination ? std::string() : item.saved_as);
    }
}

// Versions before 3 wrote into the destination itself: a completed file is
// there, and the bytes counted of an unfinished one are there too.
std::vector<DownloadItem> read_items(io::IStream& in, bool completed) {
    std::vector<DownloadItem> items(read_list_count(in, SmallestItem));
    for (DownloadItem& item : items) {
        const std::uint8_t version =
            read_record_version(in, DownloadTaskRecord::ItemVersion, "download item");
        in.read_text(item.source);
        in.read_text(item.destination);
        in.read_u64(item.size);
        in.read_u64(item.downloaded);
        if (version < 3) {
            item.in_place = !completed && item.downloaded > 0;
            if (completed)
                item.saved_as = item.destination;
            continue;
        }
        std::uint8_t flags = 0;
        in.read_byte(flags);
        in.read_text(item.saved_as);
        item.in_place = (flags & InPlace) != 0;
        if ((flags & SavedAtDestination) != 0)
            item.saved_as = item.destination;
    }
    return items;
}

}  // namespace

void DownloadTaskRecord::write(io::OStream& out, const DownloadTask& task) {
    out.write_byte(Version);
    if (task.server) {
        ServerRecord::write(out, *task.server);
    } else {
        ServerRecord::write(out, Server());
    }
    write_items(out, task.pending);
    write_items(out, task.active);
    write_items(out, task.completed);
    write_items(out, task.dropped);
    out.write_u64(task.total);
    out.write_text(task.name);
    out.write_text(task.destination_folder);
    out.write_text(task.destination_path);
    out.write_text(task.failure);
    out.write_text(task.part_tag);
}

SharedPtr<DownloadTask> DownloadTaskRecord::read(io::IStream& in) {
    SharedPtr<DownloadTask> task = make_shared<DownloadTask>();
    const std::uint8_t version = read_record_version(in, Version, "download task");
    task->server = ServerRecord::read(in);
    task->pending = read_items(in, false);
    task->active = read_items(in, false);
    task->completed = read_items(in, true);
    if (version >= 6)
        task->dropped = read_items(in, false);
    in.read_u64(task->total);
    in.read_text(task->name);
    in.read_text(task->destination_folder);
    in.read_text(task->destination_path);
    if (version < 6)
        return task;
    in.read_text(task->failure);
    in.read_text(task->part_tag);
    return task;
}

}  // namespace tovan
