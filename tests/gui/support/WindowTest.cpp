#include "gui/support/WindowTest.h"

#include <QTest>
#include <filesystem>

#include "app/Document.h"
#include "app/gui/TreePane.h"
#include "engine/catalog/Server.h"
#include "support/WaitUntil.h"

namespace tovan::test {

WindowTest::WindowTest() {
    std::filesystem::create_directories(autostart_folder());
    EXPECT_TRUE(start()) << application->error();
}

WindowTest::~WindowTest() {
    window.reset();
    application.reset();
}

bool WindowTest::start() {
    Application::Settings settings;
    settings.data_dir = data_folder();
    settings.autostart_folder = autostart_folder();
    settings.executable_path = "/usr/bin/ferrovane";
    application = std::make_unique<Application>(settings);
    return application->start();
}

MainWindow& WindowTest::open_window() {
    window = std::make_unique<MainWindow>(*application, [this] { return now; });
    return *window;
}

SharedPtr<TreeEntry> WindowTest::add_local_server(const std::string& name) {
    const std::string path = folder.file("places/" + name);
    std::filesystem::create_directories(path);
    auto server = make_shared<Server>();
    EXPECT_TRUE(server->from_url(path + "/"));
    server->set_parent_filter(&application->document()->filter());
    SharedPtr<TreeEntry> node = TreeEntry::make_server_node(server, name);
    application->document()->servers()->children.push_back(node);
    return node;
}

void WindowTest::select(const SharedPtr<TreeEntry>& node, const SharedPtr<Entry>& folder) {
    ASSERT_TRUE(window->tree()->select({node, folder, {}}));
}

void WindowTest::tick_until_idle() {
    ASSERT_TRUE(test::wait_until([&] {
        window->tick();
        return !window->scheduler().has_running();
    }));
}

void WindowTest::scan(const SharedPtr<TreeEntry>& node) {
    window->scheduler().start_scanning(node, {}, false, false);
    tick_until_idle();
}

void WindowTest::show_active() {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
}

}  // namespace tovan::test
