#pragma once

#include <mutex>

namespace tovan {

// The one process-wide lock over every children sequence and folder path of every
// catalog. Recursive, because changing a state walks up and down the tree.
std::recursive_mutex& catalog_lock();

using CatalogGuard = std::lock_guard<std::recursive_mutex>;

}  // namespace tovan
