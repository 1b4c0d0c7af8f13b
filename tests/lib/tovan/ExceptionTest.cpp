#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "tovan/Exception.h"
#include "tovan/SystemErrorInfo.h"
#include "tovan/TextualErrorInfo.h"
#include "tovan/io/Failure.h"

namespace tovan {
namespace {

TEST(Exception, KeepsItsTextAndCutsItAt2047Characters) {
    EXPECT_STREQ(Exception("disconnected").what(), "disconnected");
    EXPECT_STREQ(Exception(std::string("from a string")).what(), "from a string");

    const std::string long_text(5000, 'x');
    const Exception cut(long_text);
    EXPECT_EQ(std::strlen(cut.what()), 2047u);
    const Exception copy = cut;
    EXPECT_EQ(std::string(copy.what()), std::string(2047, 'x'));
}

TEST(Exception, EmptyTextFallsBackToTheDynamicTypeNameEveryTime) {
    const Exception empty("");
    EXPECT_STREQ(empty.what(), "tovan::Exception");
    EXPECT_STREQ(empty.what(), "tovan::Exception");
    const Exception null_text(static_cast<const char*>(nullptr));
    EXPECT_STREQ(null_text.what(), "tovan::Exception");
}

TEST(Exception, FailureWithoutTextReportsIoError) {
    EXPECT_STREQ(io::Failure("").what(), "i/o error");
    EXPECT_STREQ(io::Failure(static_cast<const char*>(nullptr)).what(), "i/o error");
    EXPECT_STREQ(io::Failure("short read").what(), "short read");
    try {
        throw io::Failure("disk full");
    } catch (const Exception& caught) {
        EXPECT_STREQ(caught.what(), "disk full");
    }
}

TEST(ErrorInfo, ComposesOwnTextCauseAndContext) {
    TextualErrorInfo info("cannot open");
    info.set_context("servers.dat");
    EXPECT_STREQ(Exception(info).what(), "cannot open ('servers.dat')");

    TextualErrorInfo cause("No space left on device");
    info.set_cause(&cause);
    EXPECT_STREQ(Exception(info).what(), "cannot openNo space left on device ('servers.dat')");

    TextualErrorInfo bare("plain");
    EXPECT_STREQ(Exception(bare).what(), "plain");
    bare.set_context("");
    EXPECT_STREQ(Exception(bare).what(), "plain");
}

TEST(ErrorInfo, FormatTruncatesToTheBufferAndCountsWhatItWrote) {
    TextualErrorInfo info("abcdef");
    info.set_context("ctx");
    char buffer[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
    EXPECT_EQ(info.format(nullptr, 10), 0u);
    EXPECT_EQ(info.format(buffer, 0), 0u);
    EXPECT_EQ(buffer[0], '#');

    EXPECT_EQ(info.format(buffer, 1), 0u);
    EXPECT_EQ(buffer[0], '\0');

    EXPECT_EQ(info.format(buffer, 8), 7u);
    EXPECT_STREQ(buffer, "abcdef ");

    char exact[16];
    EXPECT_EQ(info.format(exact, sizeof exact), 14u);
    EXPECT_STREQ(exact, "abcdef ('ctx')");
}

TEST(ErrorInfo, SystemErrorTakesErrnoAtConstruction) {
    errno = ENOENT;
    SystemErrorInfo info;
    errno = EACCES;
    EXPECT_EQ(info.code(), static_cast<std::uint32_t>(ENOENT));
    EXPECT_EQ(std::string(Exception(info).what()), std::system_category().message(ENOENT));

    SystemErrorInfo explicit_code(ENOSPC);
    explicit_code.set_context("temp");
    EXPECT_EQ(std::string(Exception(explicit_code).what()),
              std::system_category().message(ENOSPC) + " ('temp')");
}

}  // namespace
}  // namespace tovan
