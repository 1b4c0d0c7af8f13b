#pragma once

#include <chrono>

namespace tovan::cli {

// SIGINT and SIGTERM, caught for as long as the object lives, so that a long
// command can stop in order and save instead of dying mid-way.
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    static bool requested();
    // Sleeps for the time, or less when a stop is asked for meanwhile.
    static void wait(std::chrono::milliseconds time);
};

}  // namespace tovan::cli
