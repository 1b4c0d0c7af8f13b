#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "support/TempFolder.h"
#include "tovan/File.h"

namespace tovan {
namespace {

using std::ios_base;
using tovan::test::read_file;
using tovan::test::TempFolder;
using tovan::test::write_file;

struct ModeCase {
    ios_base::openmode mode;
    bool opens_missing;  // creates the file when it does not exist
    bool keeps_content;  // an existing file keeps its bytes
    bool can_read;
    bool can_write;
};

TEST(File, OpenModesCreateTruncateAndAllowWhatTheySay) {
    const ios_base::openmode in = ios_base::in, out = ios_base::out, app = ios_base::app,
                             trunc = ios_base::trunc;
    const ModeCase cases[] = {
        {in, false, true, true, false},
        {out, true, true, false, true},
        {out | app, true, true, false, true},
        {in | out, true, true, true, true},
        {out | trunc, true, false, false, true},
        {in | out | trunc, true, false, true, true},
        {in | ios_base::binary | ios_base::ate, false, true, true, false},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << static_cast<int>(c.mode));
        TempFolder folder;
        File missing;
        EXPECT_EQ(missing.open(folder.file("missing"), c.mode), c.opens_missing);

        const std::string path = folder.file("existing");
        write_file(path, "old");
        File file;
        ASSERT_TRUE(file.open(path, c.mode));
        EXPECT_EQ(file.size(), c.keeps_content ? 3 : 0);
        char byte;
        EXPECT_EQ(file.read(&byte, 1) >= 0, c.can_read);
        EXPECT_EQ(file.write("x", 1), c.can_write);
        EXPECT_TRUE(file.close());
    }
}

TEST(File, ModesOutsideTheTableAndASecondOpenAreRefused) {
    TempFolder folder;
    File file;
    EXPECT_FALSE(file.open(folder.file("a"), ios_base::in | ios_base::trunc));
    EXPECT_FALSE(file.open(folder.file("a"), ios_base::app));
    ASSERT_NE(file.error_info(), nullptr);
    ASSERT_TRUE(file.open(folder.file("a"), ios_base::out));
    EXPECT_FALSE(file.open(folder.file("b"), ios_base::out));
}

TEST(File, AppendAndAteStartAtTheEnd) {
    TempFolder folder;
    const std::string path = folder.file("log");
    write_file(path, "abc");
    File appending;
    ASSERT_TRUE(appending.open(path, ios_base::out | ios_base::app));
    appending.seek(0, ios_base::beg);
    appending.write("d", 1);
    appending.close();
    EXPECT_EQ(read_file(path), "abcd");

    File at_end;
    ASSERT_TRUE(at_end.open(path, ios_base::in | ios_base::out | ios_base::ate));
    EXPECT_EQ(at_end.seek(0, ios_base::cur), 4);
}

TEST(File, NewFilesAreReadableByTheirOwnerOnly) {
    TempFolder folder;
    File file;
    ASSERT_TRUE(file.open(folder.file("servers.dat"), ios_base::out | ios_base::trunc));
    struct stat status;
    ASSERT_EQ(::stat(folder.file("servers.dat").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 077, 0u);
}

TEST(File, FailureKeepsTheSystemReason) {
    TempFolder folder;
    File file;
    EXPECT_EQ(file.error_info(), nullptr);
    EXPECT_FALSE(file.open(folder.file("none"), ios_base::in));
    char text[256];
    ASSERT_NE(file.error_info(), nullptr);
    file.error_info()->format(text, sizeof text);
    EXPECT_STREQ(text, "No such file or directory");

    File full;
    ASSERT_TRUE(full.open("/dev/full", ios_base::out));
    EXPECT_FALSE(full.write("x", 1));
    full.error_info()->format(text, sizeof text);
    EXPECT_STREQ(text, "No space left on device");
}

}  // namespace
}  // namespace tovan
