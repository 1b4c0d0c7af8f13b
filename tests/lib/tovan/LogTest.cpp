#include <gtest/gtest.h>

#include <filesystem>
#include <source_location>
#include <string>

#include "support/TempFolder.h"
#include "tovan/io/Failure.h"
#include "tovan/io/IFStream.h"
#include "tovan/log/FailureRecord.h"
#include "tovan/log/Log.h"
#include "tovan/log/LogChannels.h"
#include "tovan/log/LogFileBuf.h"

namespace tovan {
namespace {

using tovan::test::read_file;
using tovan::test::TempFolder;
using tovan::test::write_file;

class LogTest : public ::testing::Test {
protected:
    void SetUp() override { Log::configure(log_path()); }
    void TearDown() override { Log::configure(); }

    std::string log_path() const { return folder.file("ferrovane.log"); }
    std::string log_text() const {
        Log::flush();
        return read_file(log_path());
    }

    TempFolder folder;
};

// Continuation lines stand under the first line's text; a statement without a
// line end still ends its line; a line longer than the buffer is written whole.
TEST_F(LogTest, LinesCarryTheChannelNameAndLevel) {
    const std::string long_text(LogFileBuf::LineSize * 2 + 17, 'x');
    warning_log() << "low on memory" << std::endl;
    io::error_log(1) << "writing failed: " << 28 << std::endl;
    io::warning_log() << "first\nsecond" << std::endl;
    plain_log() << "no end";
    io::error_log() << long_text << "\nend" << std::endl;
    EXPECT_EQ(log_text(),
              "warning: low on memory\n"
              "[tovan.io] error: writing failed: 28\n"
              "[tovan.io] warning: first\n"
              "                    second\n"
              "no end\n"
              "[tovan.io] error: " +
                  long_text + "\n                  end\n");
}

// The place is the caller's, its file named from the top of the source tree.
TEST_F(LogTest, FailureRecordNamesThePlaceAndTheText) {
    const std::source_location here = std::source_location::current();
    FailureRecord::write("disconnected");
    const std::string indent(23, ' ');
    EXPECT_EQ(log_text(), "[exception] error: \n" + indent + "tests/lib/tovan/LogTest.cpp(" +
                              std::to_string(here.line() + 1) + ") : " + here.function_name() +
                              " : \n" + indent + "disconnected\n");
}

TEST_F(LogTest, FilesAndStreamsReportOpensAndFailures) {
    const std::string missing = folder.file("missing.dat");
    EXPECT_THROW(io::IFStream in(missing), io::Failure);
    const std::string text = log_text();
    EXPECT_NE(
        text.find("[tovan.io] warning: '" + missing + "' open failed: No such file or directory\n"),
        std::string::npos)
        << text;
}

TEST_F(LogTest, NothingLoggedLeavesThePreviousLogInPlace) {
    write_file(log_path(), "previous run\n");
    Log::configure(log_path());
    io::plain_log(5) << "";
    EXPECT_EQ(read_file(log_path()), "previous run\n");
}

// One run of the program that logs a line to the file `name`.
void log_run(const std::string& name, const char* channel, int level, const char* text) {
    LogFileBuf log(name, false);
    std::lock_guard guard(log.lock());
    log.start_line(channel, level, 0);
    log.stream() << text << std::endl;
}

TEST(LogFile, SecondRunKeepsTheFirstUnderTheBackupName) {
    TempFolder folder;
    const std::string name = folder.file("ferrovane.log");
    for (const char* run : {"first run", "second run", "third run"}) log_run(name, "", 2, run);
    EXPECT_EQ(read_file(name), "third run\n");
    EXPECT_EQ(read_file(folder.file("ferrovane.prev.log")), "second run\n");
}

TEST(LogFile, LogThatCannotBeOpenedGoesToAUniqueName) {
    TempFolder folder;
    const std::string name = folder.file("ferrovane.log");
    // Neither the log nor its backup can be moved aside or opened as files.
    std::filesystem::create_directories(name);
    std::filesystem::create_directories(folder.file("ferrovane.prev.log/keep"));
    log_run(name, "tovan.io", 0, "still logged");
    EXPECT_EQ(read_file(folder.file("ferrovane_1.log")), "[tovan.io] error: still logged\n");
}

TEST(LogFile, DefaultNameIsBesideTheProgramOrInTheFallbackFolder) {
    TempFolder folder;
    EXPECT_EQ(Log::default_file_name(folder.file("ferrovane"), "/elsewhere"),
              folder.file("ferrovane.log"));
    EXPECT_EQ(Log::default_file_name("/no-such-folder/ferrovane", "/data"), "/data/ferrovane.log");
}

}  // namespace
}  // namespace tovan
