#include <QMenu>
#include <QTest>
#include <filesystem>

#include "app/Document.h"
#include "app/Options.h"
#include "app/gui/TrayIcon.h"
#include "gui/support/WindowTest.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

// These run on a virtual X server with a tray host (gui/with-tray-host).
class TrayTest : public test::WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(QTest::qWaitFor([] { return TrayIcon::available(); }, 5000))
            << "no tray host on this display";
    }
};

TEST_F(TrayTest, CloseAndMinimizeHideToTheTrayAndSaveAndExitEnds) {
    add_local_server("place");
    MainWindow& frame = open_window();
    frame.show();
    frame.close();
    EXPECT_TRUE(frame.is_hidden_to_tray() && !frame.isVisible() && frame.tray()->is_shown());
    EXPECT_TRUE(std::filesystem::exists(data_folder() + "/servers.dat"));

    frame.bring_to_front();
    EXPECT_TRUE(frame.isVisible() && !frame.tray()->is_shown());
    // As the window manager minimizes it.
    frame.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame.is_hidden_to_tray(); }, 2000));

    emit frame.tray()->exit_requested();
    EXPECT_FALSE(frame.isVisible() || frame.tray()->is_shown() || frame.timer().isActive());
}

// The tip lists the newest changes first, as many as fit in 127 characters and
// never more than 20; restoring the window and hiding it again starts afresh.
TEST_F(TrayTest, ChangesFoundWhileHiddenFillTheTipUpToItsLimits) {
    const SharedPtr<TreeEntry> node = add_local_server("p");
    for (int index = 10; index < 35; ++index)
        test::write_file(folder.file("places/p/" + std::to_string(index)), "x");
    MainWindow& frame = open_window();
    frame.show();
    ASSERT_TRUE(frame.hide_to_tray());
    frame.route(Command::SynchronizeAll);
    tick_until_idle();

    const QString tip = frame.tray()->tip();
    EXPECT_TRUE(tip.startsWith("Changes:\n+p...")) << tip.toStdString();
    EXPECT_LE(tip.size(), 127);
    EXPECT_LE(tip.count('\n'), 20);
    // "Changes:" and lines of eight characters, "\n+p...NN".
    EXPECT_EQ(tip.count('\n'), (127 - 8) / 8);
    EXPECT_TRUE(frame.tray()->shows_changes());

    frame.bring_to_front();
    ASSERT_TRUE(frame.hide_to_tray());
    EXPECT_EQ(frame.tray()->tip(), frame.windowTitle());
    EXPECT_FALSE(frame.tray()->shows_changes());
}

}  // namespace
}  // namespace tovan
