#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tovan/SharedPtr.h"

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
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([copy = shared]() mutable {
                for (int i = 0; i < 100; ++i) SharedPtr<Tracked> again = copy;
                copy.reset();
            });
        }
        shared.reset();
        for (std::thread& thread : threads) thread.join();
    }
    EXPECT_EQ(deletes.load(), Rounds);
}

}  // namespace
}  // namespace tovan
