#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tovan {

// A thread that calls idle_step() until it is told to quit. A thread with nothing
// to do waits on a condition variable, so idle threads use no processor time and
// new work or a quit request wakes them at once. Scan and download threads
// derive from it.
//
// The object lives on the heap and deletes itself when its thread ends, after
// on_exit(): whoever starts it keeps only a plain pointer, valid until on_exit
// tells it the thread is going.
class WorkerThread {
public:
    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    void start();
    // Wakes the thread for new work.
    void wake();
    // Asks the thread to end after its current step.
    void request_quit();
    bool quit_requested() const;

protected:
    virtual ~WorkerThread() = default;

    // One step of work: true to be called again at once, false to wait until
    // woken or told to quit.
    virtual bool idle_step() = 0;
    // Runs on the thread before it ends and deletes itself.
    virtual void on_exit() {}
    // Sleeps for the time given unless told to quit first; false when told to quit.
    bool sleep_unless_quit(std::chrono::milliseconds time);

private:
    void run();

    mutable std::mutex lock_;
    std::condition_variable wakeup_;
    bool quit_ = false;
    bool woken_ = false;
};

}  // namespace tovan
