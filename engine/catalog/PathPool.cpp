#include "engine/catalog/PathPool.h"

#include <unordered_set>

namespace tovan {
namespace {

struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>()(text);
    }
};

}  // namespace

const std::string* PathPool::intern(std::string_view text) {
    static std::unordered_set<std::string, Hash, std::equal_to<>> pool;
    auto found = pool.find(text);
    if (found == pool.end())
        found = pool.emplace(text).first;
    return &*found;
}

}  // namespace tovan
