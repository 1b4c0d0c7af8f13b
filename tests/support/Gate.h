#pragma once

#include <condition_variable>
#include <mutex>

namespace tovan::test {

// Holds threads until it is opened: a server that does not answer, a step that
// must wait for the test.
class Gate {
public:
    void wait() {
        std::unique_lock guard(lock_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(guard, [this] { return open_; });
    }
    // Returns once some thread waits at the gate.
    void wait_for_a_thread() {
        std::unique_lock guard(lock_);
        changed_.wait(guard, [this] { return waiting_ > 0; });
    }
    void open() {
        std::lock_guard guard(lock_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool open_ = false;
    int waiting_ = 0;
};

}  // namespace tovan::test
