#pragma once

#include <atomic>
#include <thread>

#include "tovan/AdaptiveMutex.h"

namespace tovan {

// The catalog's lock. Recursive, because changing a state walks up and down the
// tree. Every scan thread takes it several times per folder, so a thread that
// finds it held spins a moment before it sleeps, which std::recursive_mutex
// never does.
class CatalogMutex {
public:
    CatalogMutex() = default;
    CatalogMutex(const CatalogMutex&) = delete;
    CatalogMutex& operator=(const CatalogMutex&) = delete;

    void lock();
    bool try_lock();
    void unlock();

private:
    bool held_by(std::thread::id self) const {
        // Only a thread itself ever stores its own id, so a stale value read
        // here is never the caller's.
        return owner_.load(std::memory_order_relaxed) == self;
    }
    void take(std::thread::id self);

    AdaptiveMutex mutex_;
    std::atomic<std::thread::id> owner_;
    unsigned depth_ = 0;  // written only by the owner
};

}  // namespace tovan
