#pragma once

#include <cstdint>

#include "engine/catalog/MergeListener.h"

namespace tovan::test {

// A merge listener for tests that look only at the catalog, not at what a merge
// reports on the way.
class IgnoreMerge : public MergeListener {
    void marked(const SharedPtr<Entry>&) override {}
    void subfolder_found(const SharedPtr<Entry>&, std::int32_t, bool) override {}
};

}  // namespace tovan::test
