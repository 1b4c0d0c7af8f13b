#include "engine/catalog/CatalogMutex.h"

namespace tovan {

void CatalogMutex::lock() {
    if (held_by_this_thread()) {
        ++depth_;
        return;
    }
    mutex_.lock();
    take();
}

bool CatalogMutex::try_lock() {
    if (held_by_this_thread()) {
        ++depth_;
        return true;
    }
    if (!mutex_.try_lock())
        return false;
    take();
    return true;
}

void CatalogMutex::unlock() {
    if (--depth_ != 0)
        return;
    owner_.store(std::thread::id(), std::memory_order_relaxed);
    mutex_.unlock();
}

void CatalogMutex::take() {
    owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
    depth_ = 1;
}

}  // namespace tovan
