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

TEST(SharedPtr, OwnersCountCopiesAndTheLastReleaseDeletes) {
    int alive = 0;
    SharedPtr<Counted> first(new Counted(&alive));
    SharedPtr<Counted> second = first;
    EXPECT_EQ(first.use_count(), 2);
    EXPECT_EQ(second.reset(), 1);
    EXPECT_EQ(alive, 1);
    first = first;  // assigning itself keeps it
    EXPECT_EQ(first.use_count(), 1);
    second = SharedPtr<Counted>(new Counted(&alive));
    first = second;  // releases what it held
    EXPECT_EQ(alive, 1);
    first = nullptr;
    EXPECT_EQ(second.reset(), 0);
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(second.reset(), 0);
    EXPECT_FALSE(SharedPtr<Counted>(static_cast<Counted*>(nullptr)));
}

TEST(SharedPtr, CastsShareTheControlBlock) {
    int alive = 0;
    SharedPtr<Derived> derived = make_shared<Derived>(&alive);
    SharedPtr<Counted> base = derived;
    EXPECT_EQ(derived.use_count(), 2);
    SharedPtr<Derived> back = dynamic_pointer_cast<Derived>(base);
    EXPECT_EQ(back.get(), derived.get());
    EXPECT_EQ(derived.use_count(), 3);
    SharedPtr<Counted> plain(new Counted(&alive));
    EXPECT_FALSE(dynamic_pointer_cast<Derived>(plain));
    derived.reset();
    base.reset();
    EXPECT_EQ(alive, 2);
    back.reset();
    EXPECT_EQ(alive, 1);
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
