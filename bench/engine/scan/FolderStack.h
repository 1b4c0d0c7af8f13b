#pragma once

// What the floor walkers share: a folder's open descriptor, closed once its last
// subfolder is opened, and the stack of folders still to list, which their
// threads share under a simple lock.
#include <fcntl.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <vector>

namespace floor_walk {

struct Descriptor {
    explicit Descriptor(int fd) : fd(fd) {}
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

}  // namespace floor_walk
