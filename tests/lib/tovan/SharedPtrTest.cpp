#include <gtest/gtest.h>

#include "tovan/SharedPtr.h"

namespace tovan {
namespace {

struct Counted {
    explicit Counted(int* alive) : alive(alive) { ++*alive; }
    virtual ~Counted() { --*alive; }
    int* alive;
};

struct Derived : Counted {
    using Counted::Counted;
};

TEST(SharedPtr, OwnersCountCopiesCastsShareThemAndTheLastReleaseDeletes) {
    int alive = 0;
    SharedPtr<Derived> derived = make_shared<Derived>(&alive);
    SharedPtr<Counted> base = derived;
    base = base;  // assigning itself keeps it
    SharedPtr<Derived> back = dynamic_pointer_cast<Derived>(base);
    EXPECT_EQ(derived.use_count(), 3);
    EXPECT_FALSE(dynamic_pointer_cast<Derived>(SharedPtr<Counted>(new Counted(&alive))));
    EXPECT_EQ(derived.reset(), 2);
    base = SharedPtr<Counted>(new Counted(&alive));  // releases what it held
    EXPECT_EQ(alive, 2);
    back = nullptr;
    EXPECT_EQ(base.reset(), 0);
    EXPECT_EQ(alive, 0);
}

struct WithTail {
    WithTail(std::byte* tail, char fill) : tail(tail) { tail[0] = std::byte(fill); }
    std::byte* tail;
};

TEST(SharedPtr, TailStorageSitsBehindTheObjectInTheSameAllocation) {
    SharedPtr<WithTail> object = make_shared_with_tail<WithTail>(3, 'x');
    EXPECT_EQ(object->tail[0], std::byte('x'));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(object->tail) % alignof(void*), 0u);
    EXPECT_GE(object->tail, reinterpret_cast<std::byte*>(object.get() + 1));
}

}  // namespace
}  // namespace tovan
