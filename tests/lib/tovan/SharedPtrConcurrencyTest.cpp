#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tovan/SharedPtr.h"
#include "tovan/WeakPtr.h"

namespace tovan {
namespace {

struct Tracked {
    explicit Tracked(std::atomic<int>* deletes) : deletes(deletes) {}
    ~Tracked() { deletes->fetch_add(1); }
    std::atomic<int>* deletes;
};

// Scan threads and the user interface copy and release pointers to the same
// entries under different locks; plain counters lost updates and deleted twice.
TEST(SharedPtrConcurrency, CopiesAndReleasesFromManyThreadsDeleteExactlyOnce) {
    std::atomic<int> deletes{0};
    constexpr int Rounds = 200;
    for (int round = 0; round < Rounds; ++round) {
        SharedPtr<Tracked> shared = tovan::make_shared<Tracked>(&deletes);
        WeakPtr<Tracked> weak(shared);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([copy = shared, weak]() mutable {
                for (int i = 0; i < 100; ++i) {
                    SharedPtr<Tracked> again = copy;
                    SharedPtr<Tracked> locked = weak.lock();
                    EXPECT_TRUE(locked);
                }
                copy.reset();
            });
        }
        shared.reset();
        for (std::thread& thread : threads) thread.join();
        EXPECT_TRUE(weak.expired());
        EXPECT_FALSE(weak.lock());
    }
    EXPECT_EQ(deletes.load(), Rounds);
}

TEST(SharedPtrConcurrency, LockRacingTheLastReleaseNeverResurrects) {
    std::atomic<int> deletes{0};
    for (int round = 0; round < 500; ++round) {
        SharedPtr<Tracked> shared = tovan::make_shared<Tracked>(&deletes);
        WeakPtr<Tracked> weak(shared);
        std::thread locker([&weak] {
            // Either null or a live object whose deleter has not run.
            SharedPtr<Tracked> locked = weak.lock();
            if (locked) {
                EXPECT_GE(locked.use_count(), 1);
            }
        });
        shared.reset();
        locker.join();
    }
    EXPECT_EQ(deletes.load(), 500);
}

}  // namespace
}  // namespace tovan
