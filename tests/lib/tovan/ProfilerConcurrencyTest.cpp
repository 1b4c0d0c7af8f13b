#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tovan/Profiler.h"
#include "tovan/ProfilerScope.h"

namespace tovan {
namespace {

// Scan threads open the same scopes at once while a report is made: every call
// must be counted once.
TEST(ProfilerConcurrency, ThreadsTimingTheSameScopesCountEveryCall) {
    Profiler profiler;
    std::vector<std::thread> threads;
    for (int thread = 0; thread < 2; ++thread) {
        threads.emplace_back([&profiler] {
            for (int call = 0; call < 5000; ++call) {
                const ProfilerScope scan("Scanner::scan", profiler);
                const ProfilerScope merge("Entry::merge", profiler);
            }
        });
    }
    for (int round = 0; round < 20; ++round) profiler.report(0);
    for (std::thread& thread : threads) thread.join();
    const std::string text = profiler.report(0);
    EXPECT_NE(text.find(". n: 10000. "), std::string::npos) << text;
}

}  // namespace
}  // namespace tovan
