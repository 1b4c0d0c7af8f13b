#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "app/Application.h"
#include "app/Options.h"
#include "app/gui/MainWindow.h"
#include "engine/tree/TreeEntry.h"
#include "support/TempFolder.h"

namespace tovan::test {

// An application started on a fresh data folder, and its main window on a
// clock the test sets. The autostart entry goes to a folder of the test's own.
class WindowTest : public ::testing::Test {
protected:
    static constexpr std::int64_t Start = 1'700'000'000;

    WindowTest();
    ~WindowTest() override;

    // Starts the application again on the data folder as it is now (reset
    // the one before first); false when it cannot.
    bool start();
    MainWindow& open_window();
    // A local server of a folder made in the test's folder, added to the root group.
    SharedPtr<TreeEntry> add_local_server(const std::string& name);
    Options& options() { return application->options(); }
    // Selects the node, and the folder of its catalog if one is given, in the tree.
    void select(const SharedPtr<TreeEntry>& node, const SharedPtr<Entry>& folder = {});
    // Ticks as the window's timer does until no scan runs.
    void tick_until_idle();
    // Scans the node through the window's scheduler.
    void scan(const SharedPtr<TreeEntry>& node);
    // Shown and active, so that the focus, and with it the commands, can go
    // where the test puts it.
    void show_active();
    std::string data_folder() const { return folder.file("data"); }
    std::string autostart_folder() const { return folder.file("config/autostart"); }

    TempFolder folder;
    std::int64_t now = Start;
    std::unique_ptr<Application> application;
    std::unique_ptr<MainWindow> window;
};

}  // namespace tovan::test
