#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/TempFolder.h"
#include "tovan/log/Log.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

using tovan::test::read_file;
using tovan::test::TempFolder;

// Each statement is written in several pieces, so that a log without a lock
// for the whole statement would interleave them.
TEST(LogConcurrency, TwoThreadsLoggingAtOnceNeverMixTheirLines) {
    TempFolder folder;
    const std::string path = folder.file("ferrovane.log");
    Log::configure(path);
    constexpr int Lines = 2000;
    auto writer = [](const LogStream& channel, const char* who) {
        for (int line = 0; line < Lines; ++line)
            channel(1) << who << ' ' << line << " part two"
                       << " part three\nsecond " << who << std::endl;
    };
    std::thread first(writer, std::cref(io::error_log), "first");
    std::thread second(writer, std::cref(warning_log), "second");
    first.join();
    second.join();
    Log::flush();

    std::istringstream text(read_file(path));
    std::string line;
    int counts[2] = {0, 0};
    const std::string first_prefix = "[tovan.io] error: ", second_prefix = "warning: ";
    while (std::getline(text, line)) {
        const bool is_first = line.rfind(first_prefix, 0) == 0;
        const std::string& prefix = is_first ? first_prefix : second_prefix;
        const std::string who = is_first ? "first" : "second";
        ASSERT_EQ(line.rfind(prefix + who + " ", 0), 0u) << line;
        ASSERT_NE(line.find(" part two part three"), std::string::npos) << line;
        ASSERT_TRUE(std::getline(text, line));
        ASSERT_EQ(line, std::string(prefix.size(), ' ') + "second " + who);
        ++counts[is_first ? 0 : 1];
    }
    EXPECT_EQ(counts[0], Lines);
    EXPECT_EQ(counts[1], Lines);
    Log::configure();
}

TEST(LogConcurrency, ReconfiguringWhileOthersLogIsSafe) {
    TempFolder folder;
    Log::configure(folder.file("a.log"));
    std::thread logger([] {
        for (int line = 0; line < 500; ++line) plain_log() << "line " << line << std::endl;
    });
    for (int round = 0; round < 20; ++round)
        Log::configure(folder.file(round % 2 == 0 ? "b.log" : "a.log"));
    logger.join();
    Log::configure();
}

}  // namespace
}  // namespace tovan
