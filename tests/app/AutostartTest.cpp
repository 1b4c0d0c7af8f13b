#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/Autostart.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

using test::read_file;
using test::TempFolder;
using test::write_file;

TEST(Autostart, CheckingWritesTheEntryUncheckingRemovesItAndFailuresWriteNothing) {
    TempFolder folder;
    const Autostart autostart(folder.file("config/autostart"), "/opt/ferrovane/ferrovane");
    const std::string entry = folder.file("config/autostart/ferrovane.desktop");

    ASSERT_TRUE(autostart.apply(true) && autostart.apply(true));
    EXPECT_EQ(read_file(entry),
              "[Desktop Entry]\nType=Application\nName=Ferrovane\n"
              "Exec=\"/opt/ferrovane/ferrovane\"\nX-GNOME-Autostart-enabled=true\n");
    EXPECT_TRUE(autostart.apply(false) && autostart.apply(false));
    EXPECT_FALSE(std::filesystem::exists(entry));

    write_file(folder.file("blocked"), "a file where the folder should be");
    EXPECT_FALSE(Autostart(folder.file("blocked"), "/opt/ferrovane").apply(true));
    EXPECT_FALSE(Autostart(folder.file("other"), "/opt/ferrovane\nExec=/tmp/evil").apply(true));
    EXPECT_FALSE(std::filesystem::exists(folder.file("other/ferrovane.desktop")));
}

// A desktop entry unescapes the string first and then the quoted argument, so a
// backslash in the path takes four.
TEST(Autostart, ThePathIsQuotedSoTheLauncherRunsExactlyThatFile) {
    const std::pair<std::string, std::string> cases[] = {
        {"/opt/my apps/ferrovane", R"("/opt/my apps/ferrovane")"},
        {R"(/o/a"b)", R"("/o/a\\"b")"},
        {"/o/$HOME/`x`", R"("/o/\\$HOME/\\`x\\`")"},
        {R"(/o/a\b)", R"("/o/a\\\\b")"},
        {"/o/100%", R"("/o/100%%")"},
    };
    for (const auto& [path, quoted] : cases) EXPECT_EQ(Autostart::quoted_for_exec(path), quoted);
}

}  // namespace
}  // namespace tovan
