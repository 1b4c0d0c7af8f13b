#include "engine/catalog/CatalogMutex.h"

namespace tovan {

CatalogMutex::CatalogMutex() {
    pthread_mutexattr_t attributes;
    ::pthread_mutexattr_init(&attributes);
    ::pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_ADAPTIVE_NP);
    ::pthread_mutex_init(&mutex_, &attributes);
    ::pthread_mutexattr_destroy(&attributes);
}

CatalogMutex::~CatalogMutex() {
    ::pthread_mutex_destroy(&mutex_);
}

void CatalogMutex::lock() {
    if (held_by_this_thread()) {
        ++depth_;
        return;
    }
    ::pthread_mutex_lock(&mutex_);
    take();
}

bool CatalogMutex::try_lock() {
    if (held_by_this_thread()) {
        ++depth_;
        return true;
    }
    if (::pthread_mutex_trylock(&mutex_) != 0)
        return false;
    take();
    return true;
}

void CatalogMutex::unlock() {
    if (--depth_ != 0)
        return;
    owner_.store(std::thread::id(), std::memory_order_relaxed);
    ::pthread_mutex_unlock(&mutex_);
}

void CatalogMutex::take() {
    owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
    depth_ = 1;
}

}  // namespace tovan
