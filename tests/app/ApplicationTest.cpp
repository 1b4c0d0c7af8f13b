#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/Application.h"
#include "app/Autostart.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

using test::TempFolder;
using test::write_file;

// Everything the application touches lies inside the test's folder.
Application::Settings settings_in(const TempFolder& folder) {
    return {folder.file("data"), "/opt/ferrovane/ferrovane", folder.file("autostart")};
}

TEST(Application, AFirstRunStartsOnDefaultsAndItsOptionsOutliveIt) {
    TempFolder folder;
    const std::string entry = folder.file("autostart/") + Autostart::EntryName;
    {
        Application application(settings_in(folder));
        ASSERT_TRUE(application.start()) << application.error();
        EXPECT_TRUE(std::filesystem::exists(entry));
        application.options().start_at_login = false;
        application.options().synchronize_minutes = 30;
        application.shut_down();
    }
    Application again(settings_in(folder));
    ASSERT_TRUE(again.start()) << again.error();
    EXPECT_EQ(again.options().synchronize_minutes, 30u);
    EXPECT_FALSE(std::filesystem::exists(entry));
}

// Running on an unreadable server list would save an empty one over it.
TEST(Application, UnreadableDataFilesStopTheStartAndReleaseTheFolder) {
    TempFolder folder;
    std::filesystem::create_directories(folder.file("data"));
    write_file(folder.file("data/servers.dat"), "tovan::io::Stream\x02");

    Application application(settings_in(folder));
    EXPECT_FALSE(application.start());
    EXPECT_NE(application.error().find(folder.file("data/")), std::string::npos)
        << application.error();

    DataFolder data;
    EXPECT_TRUE(data.open(folder.file("data"))) << data.error();
    application.shut_down();
    EXPECT_FALSE(std::filesystem::exists(folder.file("data/options.dat")));
}

}  // namespace
}  // namespace tovan
