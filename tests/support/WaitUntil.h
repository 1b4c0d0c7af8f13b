#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace tovan::test {

// Polls until the condition holds; false when the limit, only a bound on a hang, passed.
inline bool wait_until(const std::function<bool()>& done,
                       std::chrono::milliseconds limit = std::chrono::seconds(60)) {
    for (const auto end = std::chrono::steady_clock::now() + limit; !done();) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace tovan::test
