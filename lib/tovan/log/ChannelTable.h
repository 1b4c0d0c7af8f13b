#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tovan/log/VerbositySettings.h"

namespace tovan {

// The verbosity settings of the channels that the log settings file names,
// hashed by channel name into a fixed number of buckets.
class ChannelTable {
public:
    static constexpr std::size_t BucketCount = 100;

    static std::size_t bucket_of(std::string_view name);

    // The settings of a name, or null when the table has none.
    const VerbositySettings* find(std::string_view name) const;
    VerbositySettings& get_or_add(std::string_view name);

private:
    using Entry = std::pair<std::string, VerbositySettings>;
    std::vector<Entry> buckets_[BucketCount];
};

}  // namespace tovan
