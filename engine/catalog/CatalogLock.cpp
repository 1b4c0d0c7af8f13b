#include "engine/catalog/CatalogLock.h"

namespace tovan {

std::recursive_mutex& catalog_lock() {
    static std::recursive_mutex lock;
    return lock;
}

}  // namespace tovan
