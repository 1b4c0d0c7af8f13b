#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>

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

    // Every statement's two lines stand together, whole.
    std::istringstream text(read_file(path));
    std::string line, next;
    int statements = 0;
    while (std::getline(text, line) && std::getline(text, next)) {
        const std::string who = line.starts_with("[tovan.io] error: ") ? "first" : "second";
        ASSERT_NE(line.find(": " + who + " "), std::string::npos) << line;
        ASSERT_TRUE(line.ends_with(" part two part three")) << line;
        ASSERT_TRUE(next.ends_with(" second " + who)) << next;
        ++statements;
    }
    EXPECT_EQ(statements, 2 * Lines);
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
