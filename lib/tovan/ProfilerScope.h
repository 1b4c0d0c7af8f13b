#pragma once

#include <chrono>

#include "tovan/Profiler.h"

namespace tovan {

// Adds the time from its construction to its end, and one call, to the node of
// its name. Costs two clock reads and a short lookup under a lock.
//
//     const ProfilerScope scope("Scanner::scan");
class ProfilerScope {
public:
    explicit ProfilerScope(const char* name, Profiler& profiler = Profiler::instance());
    ~ProfilerScope();
    ProfilerScope(const ProfilerScope&) = delete;
    ProfilerScope& operator=(const ProfilerScope&) = delete;

private:
    Profiler& profiler_;
    Profiler::Node* node_;
    ProfilerScope* enclosing_;
    std::chrono::steady_clock::time_point start_;

    static thread_local ProfilerScope* innermost_;
};

}  // namespace tovan
