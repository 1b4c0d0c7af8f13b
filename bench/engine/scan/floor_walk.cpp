// The floor a local scan is measured against: walks a folder tree with raw
// getdents64 into a large buffer and fstatat relative to the folder's
// descriptor, and nothing else. With more than one thread, the threads share
// the folders still to list through a simple locked stack.
//
// usage: ferrovane_floor_walk THREADS DIR
// prints: files N, folders N, bytes N
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "FloorWalk.h"

namespace {

using floor_walk::Descriptor;

struct Work {
    std::shared_ptr<Descriptor> parent;  // null for the root
    std::string name;
};

struct Totals {
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    std::uint64_t bytes = 0;
};

class Walk {
public:
    explicit Walk(std::string root) : folders_({nullptr, std::move(root)}) {}

    void run(Totals& totals) {
        std::vector<char> buffer(1 << 20);
        Work work;
        while (folders_.take(work)) {
            list(work, buffer, totals);
            folders_.done();
        }
    }

private:
    void list(Work& work, std::vector<char>& buffer, Totals& totals) {
        const std::shared_ptr<Descriptor> self = Descriptor::open(work.parent, work.name);
        if (!self)
            return;
        const int fd = self->fd;
        std::vector<Work> found;
        floor_walk::for_each_name(fd, buffer, [&](const char* name) {
            struct stat info;
            if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                return;
            if (S_ISDIR(info.st_mode)) {
                ++totals.folders;
                found.push_back({self, name});
            } else {
                ++totals.files;
                totals.bytes += static_cast<std::uint64_t>(info.st_size);
            }
        });
        folders_.give(found);
    }

    floor_walk::FolderStack<Work> folders_;
};

}  // namespace

int main(int argc, char** argv) {
    const int count = floor_walk::thread_count(argc, argv);
    if (count == 0)
        return 2;
    Walk walk(argv[2]);
    std::vector<Totals> totals(static_cast<std::size_t>(count));
    floor_walk::on_threads(count, [&](int i) { walk.run(totals[i]); });
    Totals sum;
    for (const Totals& one : totals) {
        sum.files += one.files;
        sum.folders += one.folders;
        sum.bytes += one.bytes;
    }
    std::printf(
        "files %llu\nfolders %llu\nbytes %llu\n", static_cast<unsigned long long>(sum.files),
        static_cast<unsigned long long>(sum.folders), static_cast<unsigned long long>(sum.bytes));
    return 0;
}
