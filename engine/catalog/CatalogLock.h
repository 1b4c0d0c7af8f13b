#pragma once

#include <mutex>

#include "engine/catalog/CatalogMutex.h"

namespace tovan {

// The one process-wide lock over every children sequence and folder path of every
// catalog.
CatalogMutex& catalog_lock();

using CatalogGuard = std::lock_guard<CatalogMutex>;

}  // namespace tovan
