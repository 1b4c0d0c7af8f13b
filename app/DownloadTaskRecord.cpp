#include "app/DownloadTaskRecord.h"

#include "app/RecordIo.h"
#include "app/ServerRecord.h"

namespace tovan {
namespace {

// Version, two empty texts and two sizes.
constexpr std::size_t SmallestItem = 1 + 4 + 4 + 8 + 8;

void write_items(io::OStream& out, const std::vector<DownloadItem>& items) {
    out.write_u32(static_cast<std::uint32_t>(items.size()));
    for (const DownloadItem& item : items) {
        out.write_byte(DownloadTaskRecord::ItemVersion);
        out.write_text(item.source);
        out.write_text(item.destination);
        out.write_u64(item.size);
        out.write_u64(item.downloaded);
    }
}

std::vector<DownloadItem> read_items(io::IStream& in) {
    std::vector<DownloadItem> items(read_list_count(in, SmallestItem));
    for (DownloadItem& item : items) {
        read_record_version(in, DownloadTaskRecord::ItemVersion, "download item");
        in.read_text(item.source);
        in.read_text(item.destination);
        in.read_u64(item.size);
        in.read_u64(item.downloaded);
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
    out.write_u64(task.total);
    out.write_text(task.name);
    out.write_text(task.destination_folder);
    out.write_text(task.destination_path);
}

SharedPtr<DownloadTask> DownloadTaskRecord::read(io::IStream& in) {
    SharedPtr<DownloadTask> task = make_shared<DownloadTask>();
    read_record_version(in, Version, "download task");
    task->server = ServerRecord::read(in);
    task->pending = read_items(in);
    task->active = read_items(in);
    task->completed = read_items(in);
    in.read_u64(task->total);
    in.read_text(task->name);
    in.read_text(task->destination_folder);
    in.read_text(task->destination_path);
    return task;
}

}  // namespace tovan
