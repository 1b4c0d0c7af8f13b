#pragma once

#include <pthread.h>

namespace tovan {

// A mutex whose waiter spins a moment before it sleeps (glibc's adaptive mutex),
// for locks that threads on every processor take for a few hundred nanoseconds
// at a time: going to sleep and being woken costs far more than such a wait,
// and std::mutex never spins.
class AdaptiveMutex {
public:
    AdaptiveMutex();
    AdaptiveMutex(const AdaptiveMutex&) = delete;
    AdaptiveMutex& operator=(const AdaptiveMutex&) = delete;
    ~AdaptiveMutex() { ::pthread_mutex_destroy(&mutex_); }

    void lock() { ::pthread_mutex_lock(&mutex_); }
    bool try_lock() { return ::pthread_mutex_trylock(&mutex_) == 0; }
    void unlock() { ::pthread_mutex_unlock(&mutex_); }

private:
    pthread_mutex_t mutex_;
};

}  // namespace tovan
