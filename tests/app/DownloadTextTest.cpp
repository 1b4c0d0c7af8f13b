#include <gtest/gtest.h>

#include "app/DownloadText.h"

namespace tovan {
namespace {

TEST(DownloadTextTest, NamesTheStateOrGivesTheSpeed) {
    Downloader::Status status;
    status.state = Downloader::State::Waiting;
    status.wait_seconds = 27;
    EXPECT_EQ(speed_column_text(status), "wait(27s)");
    status.state = Downloader::State::Disconnecting;
    EXPECT_EQ(speed_column_text(status), "disconnecting");
    status.state = Downloader::State::Running;
    status.speed = 1536;
    EXPECT_EQ(speed_column_text(status), "1.5 KB/S");
}

}  // namespace
}  // namespace tovan
