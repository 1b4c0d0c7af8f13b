#pragma once

#include <pthread.h>

#include <atomic>
#include <thread>

namespace tovan {

// The catalog's lock. Recursive, because changing a state walks up and down the
// tree. Every scan thread takes it several times per folder for a few hundred
// nanoseconds, so a thread that finds it held spins a moment before it sleeps:
// going to sleep and being woken costs far more than the wait, and the
// recursive mutex of the standard library never spins.
class CatalogMutex {
public:
    CatalogMutex();
    CatalogMutex(const CatalogMutex&) = delete;
    CatalogMutex& operator=(const CatalogMutex&) = delete;
    ~CatalogMutex();

    void lock();
    bool try_lock();
    void unlock();

private:
    bool held_by_this_thread() const {
        // Only this thread ever stores its own id, so a stale value read here
        // is never this thread's.
        return owner_.load(std::memory_order_relaxed) == std::this_thread::get_id();
    }
    void take();

    pthread_mutex_t mutex_;
    std::atomic<std::thread::id> owner_;
    unsigned depth_ = 0;  // written only by the owner
};

}  // namespace tovan
