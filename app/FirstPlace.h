#pragma once

#include <cstdint>

#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class Document;

// A first run with nothing to watch shows a real catalog at once: the user's
// download folder, a few levels deep.
class FirstPlace {
public:
    static constexpr std::int32_t Depth = 3;

    // Adds the download folder to the root group when the document has no
    // server yet; the node added, or empty when nothing was.
    static SharedPtr<TreeEntry> add_if_none(Document& document);
};

}  // namespace tovan
