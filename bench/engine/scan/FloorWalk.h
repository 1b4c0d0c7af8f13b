#pragma once

// What the floor walkers share: a folder's open descriptor, closed once its last
// subfolder is opened; the stack of folders still to list, which their threads
// share under a simple lock; reading a folder's names; running the threads.
#include <dirent.h>  // dirent64: the kernel's layout of what getdents64 returns
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace floor_walk {

struct Descriptor {
    explicit Descriptor(int fd) : fd(fd) {}

    // Opens the folder name inside parent (the working folder when parent is
    // null) and lets go of parent; null when the folder cannot be opened.
    static std::shared_ptr<Descriptor> open(std::shared_ptr<Descriptor>& parent,
                                            const std::string& name) {
        const int at = parent ? parent->fd : AT_FDCWD;
        const int fd = ::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        parent.reset();
        return fd < 0 ? nullptr : std::make_shared<Descriptor>(fd);
    }

    ~Descriptor() { ::close(fd); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
};

template <class Work>
class FolderStack {
public:
    explicit FolderStack(Work root) { stack_.push_back(std::move(root)); }

    // Waits for a folder to list; false once none is left and no thread can
    // find more.
    bool take(Work& work) {
        std::unique_lock<std::mutex> hold(lock_);
        ready_.wait(hold, [&] { return !stack_.empty() || busy_ == 0; });
        if (stack_.empty())
            return false;
        work = std::move(stack_.back());
        stack_.pop_back();
        ++busy_;
        return true;
    }

    void done() {
        std::lock_guard<std::mutex> hold(lock_);
        if (--busy_ == 0 && stack_.empty())
            ready_.notify_all();
    }

    void give(std::vector<Work>& found) {
        if (found.empty())
            return;
        {
            std::lock_guard<std::mutex> hold(lock_);
            for (Work& work : found) stack_.push_back(std::move(work));
        }
        ready_.notify_all();
        found.clear();
    }

private:
    std::mutex lock_;
    std::condition_variable ready_;
    std::vector<Work> stack_;
    int busy_ = 0;
};

// Calls visit(name) for each item of the open folder but "." and "..", read by
// getdents64 into buffer.
template <class Visit>
void for_each_name(int fd, std::vector<char>& buffer, Visit visit) {
    for (;;) {
        const long got = ::syscall(SYS_getdents64, fd, buffer.data(), buffer.size());
        if (got <= 0)
            return;
        for (long offset = 0; offset < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer.data() + offset);
            offset += entry->d_reclen;
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            visit(name);
        }
    }
}

// The THREADS of the arguments "THREADS DIR", at least 1; 0, with the usage
// told, when the arguments are not those two.
inline int thread_count(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s THREADS DIR\n", argv[0]);
        return 0;
    }
    return std::max(1, std::atoi(argv[1]));
}

// Runs work(index) on count threads, the calling one among them, and waits for
// them all.
template <class Work>
void on_threads(int count, Work work) {
    std::vector<std::thread> others;
    for (int i = 1; i < count; ++i) others.emplace_back([&, i] { work(i); });
    work(0);
    for (std::thread& thread : others) thread.join();
}

}  // namespace floor_walk
