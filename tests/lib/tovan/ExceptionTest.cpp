#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "tovan/Exception.h"
#include "tovan/SystemErrorInfo.h"
#include "tovan/TextualErrorInfo.h"
#include "tovan/io/Failure.h"

namespace tovan {
namespace {

// A text without end would overrun the fixed buffer; one without anything falls
// back to the type's name.
TEST(Exception, KeepsItsTextCutAt2047CharactersOrNamesItsType) {
    const Exception cut(std::string(5000, 'x'));
    const Exception copy = cut;
    EXPECT_EQ(std::string(copy.what()), std::string(2047, 'x'));
    EXPECT_STREQ(Exception("").what(), "tovan::Exception");
    EXPECT_STREQ(Exception(static_cast<const char*>(nullptr)).what(), "tovan::Exception");
    EXPECT_STREQ(io::Failure(static_cast<const char*>(nullptr)).what(), "i/o error");
}

TEST(ErrorInfo, ComposesOwnTextCauseAndContext) {
    TextualErrorInfo info("cannot open");
    info.set_context("servers.dat");
    TextualErrorInfo cause("No space left on device");
    info.set_cause(&cause);
    EXPECT_STREQ(Exception(info).what(), "cannot openNo space left on device ('servers.dat')");
    errno = ENOENT;
    SystemErrorInfo system;  // takes errno when made
    errno = EACCES;
    EXPECT_EQ(std::string(Exception(system).what()), std::system_category().message(ENOENT));
}

TEST(ErrorInfo, FormatTruncatesToTheBufferAndCountsWhatItWrote) {
    const TextualErrorInfo info("abcdef ('ctx')");
    char buffer[8] = {'#'};
    EXPECT_EQ(info.format(nullptr, 10), 0u);
    EXPECT_EQ(info.format(buffer, 0), 0u);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(info.format(buffer, 8), 7u);
    EXPECT_STREQ(buffer, "abcdef ");
}

}  // namespace
}  // namespace tovan
