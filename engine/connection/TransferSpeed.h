#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace tovan {

// The transfer rate averaged so the newest chunk weighs 1/31. Elapsed time is
// taken to the microsecond: fast sources read a small chunk in well under a
// millisecond, and counting that as no time would keep the chunks small forever.
inline std::int32_t smoothed_speed(std::int32_t speed, std::uint64_t bytes, double elapsed_ms) {
    if (elapsed_ms <= 0)
        return speed;
    const double rate = std::min(static_cast<double>(bytes) * 1000.0 / elapsed_ms,
                                 static_cast<double>(std::numeric_limits<std::int32_t>::max()));
    return static_cast<std::int32_t>((static_cast<std::int64_t>(rate) + 30 * std::int64_t{speed}) /
                                     31);
}

}  // namespace tovan
