#include <gtest/gtest.h>

#include "app/FtpHostField.h"

namespace tovan {
namespace {

// What it reads is checked through the FTP server dialog's host field
// (tests/gui/FtpServerDialogTest.cpp); here, what it refuses.
TEST(FtpHostField, RefusesWhatNamesNoFtpServerAndSaysWhy) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "host is missing"},
        {"http://example.org/", "begins with ftp://, ftps:// or sftp://"},
        {"bad host", "holds \" \""},
        {"host:99999", "from 1 to 65535"},
        {"::1", "in brackets"},
    };
    for (const auto& [text, reason] : cases) {
        SCOPED_TRACE(text);
        std::string problem;
        EXPECT_FALSE(FtpHostField::read(text, problem));
        EXPECT_NE(problem.find(reason), std::string::npos) << problem;
    }
}

}  // namespace
}  // namespace tovan
