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

// A text without end would overrun the fixed buffer; one without anything falls
// back to the type's name, every time it is asked.
TEST(Exception, KeepsItsTextCutAt2047CharactersOrNamesItsType) {
    const Exception cut(std::string(5000, 'x'));
    const Exception copy = cut;
    EXPECT_EQ(std::string(copy.what()), std::string(2047, 'x'));
    const Exception empty("");
    EXPECT_STREQ(empty.what(), "tovan::Exception");
    EXPECT_STREQ(empty.what(), "tovan::Exception");
    EXPECT_STREQ(Exception(static_cast<const char*>(nullptr)).what(), "tovan::Exception");
    EXPECT_STREQ(io::Failure("").what(), "i/o error");
    EXPECT_STREQ(io::Failure(static_cast<const char*>(nullptr)).what(), "i/o error");
}

TEST(ErrorInfo, ComposesOwnTextCauseAndContext) {
    TextualErrorInfo info("cannot open");
    info.set_context("servers.dat");
    EXPECT_STREQ(Exception(info).what(), "cannot open ('servers.dat')");
    TextualErrorInfo cause("No space left on device");
    info.set_cause(&cause);
    EXPECT_STREQ(Exception(info).what(), "cannot openNo space left on device ('servers.dat')");
    TextualErrorInfo bare("plain");
    bare.set_context("");
    EXPECT_STREQ(Exception(bare).what(), "plain");

    errno = ENOENT;
    SystemErrorInfo system;  // takes errno when made
    errno = EACCES;
    EXPECT_EQ(system.code(), static_cast<std::uint32_t>(ENOENT));
    EXPECT_EQ(std::string(Exception(system).what()), std::system_category().message(ENOENT));
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

}  // namespace
}  // namespace tovan
