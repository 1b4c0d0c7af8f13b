#include "tovan/log/ChannelTable.h"

namespace tovan {

std::size_t ChannelTable::bucket_of(std::string_view name) {
    // Each byte counts as a signed number, as the settings files of older
    // versions were hashed; unsigned arithmetic keeps the wrap-around defined.
    std::uint32_t hash = 0;
    for (char c : name) hash = hash * 5 + static_cast<std::uint32_t>(static_cast<signed char>(c));
    return hash % BucketCount;
}

const VerbositySettings* ChannelTable::find(std::string_view name) const {
    for (const Entry& entry : buckets_[bucket_of(name)])
        if (entry.first == name)
            return &entry.second;
    return nullptr;
}

VerbositySettings& ChannelTable::get_or_add(std::string_view name) {
    std::vector<Entry>& bucket = buckets_[bucket_of(name)];
    for (Entry& entry : bucket)
        if (entry.first == name)
            return entry.second;
    bucket.emplace_back(std::string(name), VerbositySettings{});
    return bucket.back().second;
}

}  // namespace tovan
