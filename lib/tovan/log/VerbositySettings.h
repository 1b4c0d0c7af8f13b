#pragma once

#include <cstdint>
#include <limits>

namespace tovan {

// How much one channel (or every channel, for the shared settings) may say.
// A message passes when the setting is not disabled and its verbosity is at most
// the threshold of the channel's level.
struct VerbositySettings {
    static constexpr std::int32_t Unlimited = std::numeric_limits<std::int32_t>::max();

    std::int32_t disabled = 0;
    std::int32_t thresholds[3] = {Unlimited, Unlimited, Unlimited};

    bool passes(int level, int verbosity) const {
        return disabled <= 0 && verbosity <= thresholds[level];
    }

    // A positive value raises the threshold to that value when it is lower; a
    // negative value -n lowers it to n - 1 when it is higher.
    void apply(int level, std::int64_t value) {
        std::int32_t& threshold = thresholds[level];
        if (value >= 0) {
            if (threshold < value)
                threshold = static_cast<std::int32_t>(value);
        } else {
            const std::int64_t limit = -value - 1;
            if (threshold > limit)
                threshold = static_cast<std::int32_t>(limit);
        }
    }
};

}  // namespace tovan
