#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "support/TempFolder.h"
#include "tovan/File.h"

namespace tovan {
namespace {

using std::ios_base;
using tovan::test::read_file;
using tovan::test::TempFolder;
using tovan::test::write_file;

TEST(File, OpenModesCreateTruncateAndAllowWhatTheySay) {
    const ios_base::openmode in = ios_base::in, out = ios_base::out, app = ios_base::app,
                             trunc = ios_base::trunc, ate = ios_base::ate;
    // The mode, whether it opens a missing file and reads, and what "old" holds
    // after reading a byte and writing "x".
    const std::tuple<ios_base::openmode, bool, bool, std::string> cases[] = {
        {in, false, true, "old"},
        {out, true, false, "xld"},
        {out | app, true, false, "oldx"},
        {in | out, true, true, "oxd"},
        {out | trunc, true, false, "x"},
        {in | out | trunc, true, true, "x"},
        {in | out | ate, true, true, "oldx"},
        {in | ios_base::binary | ate, false, true, "old"},
    };
    TempFolder folder;
    const std::string path = folder.file("existing");
    for (const auto& [mode, opens_missing, can_read, after] : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << static_cast<int>(mode));
        std::filesystem::remove(folder.file("missing"));
        EXPECT_EQ(File().open(folder.file("missing"), mode), opens_missing);
        write_file(path, "old");
        File file;
        ASSERT_TRUE(file.open(path, mode));
        char byte;
        EXPECT_EQ(file.read(&byte, 1) >= 0, can_read);
        file.write("x", 1);
        EXPECT_TRUE(file.close());
        EXPECT_EQ(read_file(path), after);
    }
}

// Also: a new file is its owner's only; a second open is refused.
TEST(File, ModesOutsideTheTableAndASecondOpenAreRefusedAndNewFilesArePrivate) {
    TempFolder folder;
    File file;
    EXPECT_FALSE(file.open(folder.file("a"), ios_base::in | ios_base::trunc));
    EXPECT_FALSE(file.open(folder.file("a"), ios_base::app));
    ASSERT_TRUE(file.open(folder.file("servers.dat"), ios_base::out | ios_base::trunc));
    EXPECT_FALSE(file.open(folder.file("b"), ios_base::out));
    struct stat status;
    ASSERT_EQ(::stat(folder.file("servers.dat").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 077, 0u);
}

}  // namespace
}  // namespace tovan
