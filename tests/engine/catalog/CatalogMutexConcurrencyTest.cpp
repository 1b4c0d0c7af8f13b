#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "engine/catalog/CatalogMutex.h"

namespace tovan {
namespace {

bool taken_elsewhere(CatalogMutex& mutex) {
    bool taken = false;
    std::thread([&] {
        taken = mutex.try_lock();
        if (taken)
            mutex.unlock();
    }).join();
    return taken;
}

// The change of a state walks up and down the tree under nested holds: another
// thread gets the lock only once the outermost is let go.
TEST(CatalogMutex, IsHeldUntilTheOutermostHoldEnds) {
    CatalogMutex mutex;
    mutex.lock();
    ASSERT_TRUE(mutex.try_lock());
    mutex.lock();
    EXPECT_FALSE(taken_elsewhere(mutex));
    mutex.unlock();
    mutex.unlock();
    EXPECT_FALSE(taken_elsewhere(mutex));
    mutex.unlock();
    EXPECT_TRUE(taken_elsewhere(mutex));
}

// Threads nesting holds around a plain counter, more of them than processors:
// a lost or doubled hold shows as a wrong total (or as a race to ThreadSanitizer).
TEST(CatalogMutex, NestedHoldsOnManyThreadsExcludeEachOther) {
    CatalogMutex mutex;
    long counter = 0;
    constexpr int Threads = 8;
    constexpr int Steps = 20000;
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t)
        threads.emplace_back([&] {
            for (int step = 0; step < Steps; ++step) {
                const std::lock_guard outer(mutex);
                const std::lock_guard inner(mutex);
                counter = counter + 1;
            }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(counter, long{Threads} * Steps);
}

}  // namespace
}  // namespace tovan
