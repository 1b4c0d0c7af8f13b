#include "engine/catalog/CatalogMutex.h"

namespace tovan {

void CatalogMutex::lock() {
    const std::thread::id self = std::this_thread::get_id();
    if (held_by(self)) {
        ++depth_;
        return;
    }
    mutex_.lock();
    take(self);
}

bool CatalogMutex::try_lock() {
    const std::thread::id self = std::this_thread::get_id();
    if (held_by(self)) {
        ++depth_;
        return true;
    }
    if (!mutex_.try_lock())
        return false;
    take(self);
    return true;
}

void CatalogMutex::unlock() {
    if (--depth_ != 0)
        return;
    owner_.store(std::thread::id(), std::memory_order_relaxed);
    mutex_.unlock();
}

void CatalogMutex::take(std::thread::id self) {
    owner_.store(self, std::memory_order_relaxed);
    depth_ = 1;
}

}  // namespace tovan
