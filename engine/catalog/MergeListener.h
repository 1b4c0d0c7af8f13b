#pragma once

#include <cstdint>

#include "engine/catalog/Entry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// What a merge tells the scan that runs it.
class MergeListener {
public:
    virtual ~MergeListener() = default;
    // An item whose mark the merge has just changed.
    virtual void marked(const SharedPtr<Entry>& item) = 0;
    // A subfolder to list next: never listed before when new_folder is set.
    virtual void subfolder_found(const SharedPtr<Entry>& folder, std::int32_t depth,
                                 bool new_folder) = 0;
};

}  // namespace tovan
