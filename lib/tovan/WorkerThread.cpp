#include "tovan/WorkerThread.h"

#include <thread>

namespace tovan {

void WorkerThread::start() {
    std::thread(&WorkerThread::run, this).detach();
}

void WorkerThread::wake() {
    std::lock_guard guard(lock_);
    woken_ = true;
    wakeup_.notify_all();
}

void WorkerThread::request_quit() {
    std::lock_guard guard(lock_);
    quit_ = true;
    wakeup_.notify_all();
}

bool WorkerThread::quit_requested() const {
    std::lock_guard guard(lock_);
    return quit_;
}

bool WorkerThread::sleep_unless_quit(std::chrono::milliseconds time) {
    std::unique_lock guard(lock_);
    return !wakeup_.wait_for(guard, time, [this] { return quit_; });
}

void WorkerThread::run() {
    for (;;) {
        {
            std::lock_guard guard(lock_);
            if (quit_)
                break;
            woken_ = false;
        }
        if (idle_step())
            continue;
        std::unique_lock guard(lock_);
        wakeup_.wait(guard, [this] { return quit_ || woken_; });
    }
    on_exit();
    delete this;
}

}  // namespace tovan
