#include "engine/catalog/CatalogLock.h"

namespace tovan {

CatalogMutex& catalog_lock() {
    static CatalogMutex lock;
    return lock;
}

}  // namespace tovan
