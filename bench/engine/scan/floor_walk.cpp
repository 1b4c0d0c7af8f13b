// The floor a local scan is measured against: walks a folder tree with raw
// getdents64 into a large buffer and fstatat relative to the folder's
// descriptor, and nothing else. With more than one thread, the threads share
// the folders still to list through a simple locked stack.
//
// usage: ferrovane_floor_walk THREADS DIR
// prints: files N, folders N, bytes N
#include <dirent.h>  // dirent64: the kernel's layout of what getdents64 returns
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FolderStack.h"

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
        const int at = work.parent ? work.parent->fd : AT_FDCWD;
        const int fd = ::openat(at, work.name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        work.parent.reset();
        if (fd < 0)
            return;
        auto self = std::make_shared<Descriptor>(fd);
        std::vector<Work> found;
        for (;;) {
            const long got = ::syscall(SYS_getdents64, fd, buffer.data(), buffer.size());
            if (got <= 0)
                break;
            for (long offset = 0; offset < got;) {
                const auto* entry = reinterpret_cast<const dirent64*>(buffer.data() + offset);
                offset += entry->d_reclen;
                const char* name = entry->d_name;
                if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                    continue;
                struct stat info;
                if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;
                if (S_ISDIR(info.st_mode)) {
                    ++totals.folders;
                    found.push_back({self, name});
                } else {
                    ++totals.files;
                    totals.bytes += static_cast<std::uint64_t>(info.st_size);
                }
            }
        }
        folders_.give(found);
    }

    floor_walk::FolderStack<Work> folders_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s THREADS DIR\n", argv[0]);
        return 2;
    }
    const int count = std::max(1, std::atoi(argv[1]));
    Walk walk(argv[2]);
    std::vector<Totals> totals(static_cast<std::size_t>(count));
    std::vector<std::thread> threads;
    for (int i = 1; i < count; ++i) threads.emplace_back([&, i] { walk.run(totals[i]); });
    walk.run(totals[0]);
    for (std::thread& thread : threads) thread.join();
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
