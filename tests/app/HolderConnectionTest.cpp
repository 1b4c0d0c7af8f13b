#include <gtest/gtest.h>
#include <sys/socket.h>

#include <string>

#include "app/HolderConnection.h"

namespace tovan::test {
namespace {

// A client that stops reading must not hold the holder's thread: once the
// write limit has passed, the line is dropped and so is every later one.
TEST(HolderConnection, APeerThatStopsReadingIsGivenUpOnce) {
    int ends[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    HolderConnection holder(ends[0]);
    HolderConnection stalled(ends[1]);
    holder.set_write_limit(1);
    const std::string line(64 * 1024, 'x');
    int sent = 0;
    while (holder.send_line(line)) ASSERT_LT(++sent, 1000) << "the buffer never filled";
    EXPECT_FALSE(holder.send_line("after"));
    EXPECT_TRUE(stalled.read_line().has_value());
}

}  // namespace
}  // namespace tovan::test
