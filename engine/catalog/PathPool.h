#pragma once

#include <string>
#include <string_view>

namespace tovan {

// Folder paths shared by all catalogs: siblings store the same parent path, so
// each distinct text is kept once. Pooled texts are never freed, so a view of one
// stays valid for the life of the process.
class PathPool {
public:
    // The pooled copy of text. Call under the catalog lock.
    static const std::string* intern(std::string_view text);
};

}  // namespace tovan
