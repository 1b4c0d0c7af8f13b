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
    const std::string entry = folder.file("config/autostart/org.ferrovane.Ferrovane.desktop");

    ASSERT_TRUE(autostart.apply(true) && autostart.apply(true));
    EXPECT_EQ(read_file(entry),
              "[Desktop Entry]\nType=Application\nName=Ferrovane\n"
              "Exec=\"/opt/ferrovane/ferrovane\"\nX-GNOME-Autostart-enabled=true\n");
    EXPECT_TRUE(autostart.apply(false) && autostart.apply(false));
    EXPECT_FALSE(std::filesystem::exists(entry));

    write_file(folder.file("blocked"), "a file where the folder should be");
    EXPECT_FALSE(Autostart(folder.file("blocked"), "/opt/ferrovane").apply(true));
    EXPECT_FALSE(Autostart(folder.file("other"), "/opt/ferrovane\nExec=/tmp/evil").apply(true));
    EXPECT_FALSE(std::filesystem::exists(folder.file("other/org.ferrovane.Ferrovane.desktop")));
}

// The entry an older version wrote under the old name goes whichever way the
// option is applied; a file of that name the user wrote stays.
TEST(Autostart, AnOldEntryOfOursIsRemovedAndAForeignOneKept) {
    const std::string ours =
        "[Desktop Entry]\nType=Application\nName=Ferrovane\n"
        "Exec=\"/usr/local/bin/ferrovane\"\nX-GNOME-Autostart-enabled=true\n";
    const std::string foreign[] = {
        ours + "Hidden=true\n",
        "[Desktop Entry]\nType=Application\nName=Ferrovane\nExec=\"/opt/other\"\n"
        "X-GNOME-Autostart-enabled=true\n",
        "[Desktop Entry]\nName=Ferrovane\nExec=ferrovane --minimized\n",
    };
    for (const bool enabled : {true, false}) {
        TempFolder folder;
        const std::string old_entry = folder.file("autostart/ferrovane.desktop");
        std::filesystem::create_directories(folder.file("autostart"));
        write_file(old_entry, ours);
        ASSERT_TRUE(Autostart(folder.file("autostart"), "/usr/bin/ferrovane").apply(enabled));
        EXPECT_FALSE(std::filesystem::exists(old_entry));
        for (const std::string& text : foreign) {
            write_file(old_entry, text);
            ASSERT_TRUE(Autostart(folder.file("autostart"), "/usr/bin/ferrovane").apply(enabled));
            EXPECT_EQ(read_file(old_entry), text);
        }
    }
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
