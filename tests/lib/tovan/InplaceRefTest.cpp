#include <gtest/gtest.h>

#include <cstring>
#include <string_view>

#include "tovan/InplaceRef.h"

namespace tovan {
namespace {

// Deletions are counted; the text lives in the tail behind the object.
struct Tracked {
    Tracked(std::byte* tail, int* deletes, std::string_view text) : deletes(deletes), tail(tail) {
        std::memcpy(tail, text.data(), text.size());
    }
    ~Tracked() { ++*deletes; }
    int* deletes;
    std::byte* tail;
};

TEST(InplaceRef, SharesOwnershipWithThePointersItComesFromAndGives) {
    int deletes = 0;
    SharedPtr<Tracked> made = make_shared_with_tail<Tracked>(5, &deletes, "hello");
    InplaceRef<Tracked> copied(made);
    InplaceRef<Tracked> adopted{SharedPtr<Tracked>(made)};
    EXPECT_EQ(made.use_count(), 3);
    made.reset();
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(adopted->tail), 5), "hello");

    SharedPtr<Tracked> taken = copied.shared();
    EXPECT_EQ(taken.get(), adopted.get());
    { const InplaceRef<Tracked> moved(std::move(copied)); }
    adopted = InplaceRef<Tracked>();
    EXPECT_EQ(deletes, 0);
    EXPECT_EQ(taken.use_count(), 1);
    taken.reset();
    EXPECT_EQ(deletes, 1);
}

}  // namespace
}  // namespace tovan
