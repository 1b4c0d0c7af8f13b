#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <optional>

#include "app/Document.h"
#include "app/DownloadList.h"
#include "app/gui/DesktopServices.h"
#include "app/gui/MainWindow.h"
#include "app/gui/SearchDialog.h"
#include "app/gui/SearchResultActions.h"
#include "app/gui/SearchResultModel.h"
#include "app/gui/TreePane.h"
#include "engine/catalog/Server.h"
#include "fixtures/FtpServer.h"
#include "gui/support/Modal.h"
#include "gui/support/WindowTest.h"
#include "support/RandomBytes.h"
#include "support/ScanRun.h"
#include "support/WaitUntil.h"

namespace tovan {
namespace {

using test::child;

class SearchDialogTest : public test::WindowTest {
protected:
    SearchDialogTest() { EXPECT_TRUE(start()) << application->error(); }

    std::unique_ptr<SearchDialog> dialog(SharedPtr<TreeEntry> node, SharedPtr<Entry> folder = {}) {
        auto made = std::make_unique<SearchDialog>(*application, desktop, std::move(node),
                                                   std::move(folder));
        new QAbstractItemModelTester(&made->results(), &made->results());
        return made;
    }

    // Types the mask, clicks Search and waits for the search to end; the rows'
    // Url column, sorted.
    static std::vector<std::string> search(SearchDialog& dialog, const QString& mask) {
        child<QCheckBox>(dialog, "onlyOnline").setChecked(false);
        QLineEdit& field = child<QLineEdit>(dialog, "mask");
        field.clear();
        QTest::keyClicks(&field, mask);
        QTest::mouseClick(&child<QPushButton>(dialog, "searchButton"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.searching(); }, 60000));
        std::vector<std::string> rows;
        const SearchResultModel& model = dialog.results();
        for (int row = 0; row < model.rowCount(); ++row)
            rows.push_back(
                model.index(row, SearchResultModel::UrlColumn).data().toString().toStdString());
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    SharedPtr<TreeEntry> servers() const { return application->document()->servers(); }
    // An FTP server with a login, serving the folder, in the root group.
    SharedPtr<TreeEntry> add_ftp_server(const std::string& root) {
        ftp.emplace(test::FtpServer::Options{.root = root, .user = "finder", .password = "s3cret"});
        auto server = make_shared<Server>();
        server->set_ftp(FtpSettings{"127.0.0.1", "finder", "s3cret", true, ftp->port()}, "/");
        server->set_parent_filter(&application->document()->filter());
        const SharedPtr<TreeEntry> node = TreeEntry::make_server_node(server, "ftp");
        servers()->children.push_back(node);
        return node;
    }

    DesktopServices desktop{nullptr};
    std::optional<test::FtpServer> ftp;
};

TEST_F(SearchDialogTest, FindsFilesOfALocalTreeAndAnFtpServerInTheChosenScope) {
    const SharedPtr<TreeEntry> local = add_local_server("local");
    const std::string places = folder.file("places/local/");
    test::write_file_at(places + "a.avi", "aaa", Start);
    test::write_file_at(places + "movies/b.AVI", "bb", Start);
    test::write_file_at(places + "notes.txt", "n", Start);
    test::TempFolder served;
    test::write_file_at(served.file("pub/c.avi"), "c", Start);
    const SharedPtr<TreeEntry> remote = add_ftp_server(served.path());
    ASSERT_TRUE(test::scan(local->server));
    ASSERT_TRUE(test::scan(remote->server));
    const std::string at = "127.0.0.1:" + std::to_string(ftp->port());

    const auto everywhere = dialog(servers());
    EXPECT_EQ(search(*everywhere, "*.avi"),
              (std::vector<std::string>{places + "a.avi", places + "movies/b.AVI",
                                        "ftp://finder:***@" + at + "/pub/c.avi"}));
    // An empty mask lists every file.
    EXPECT_EQ(search(*everywhere, "").size(), 4u);

    const auto in_movies = dialog(local, test::entry_at(local->server->root(), "movies"));
    EXPECT_EQ(search(*in_movies, ""), std::vector<std::string>{places + "movies/b.AVI"});
}

TEST_F(SearchDialogTest, StopEndsASearchOfALargeCatalogWithWhatItFound) {
    const SharedPtr<TreeEntry> node = add_local_server("large");
    const SharedPtr<Entry> root = node->server->root();
    constexpr int Files = 100'000;
    std::vector<SharedPtr<Entry>> files;
    files.reserve(Files);
    for (int i = 0; i < Files; ++i)
        files.push_back(Entry::create_file("file" + std::to_string(i), 1, Start));
    root->add_children(std::move(files));
    const auto searching = dialog(node);
    child<QCheckBox>(*searching, "onlyOnline").setChecked(false);
    child<QLineEdit>(*searching, "mask").clear();
    auto& button = child<QPushButton>(*searching, "searchButton");
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(button.text(), "Stop");
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_FALSE(searching->searching());
    EXPECT_EQ(button.text(), "Search");
    EXPECT_LT(searching->results().rowCount(), Files);
    EXPECT_TRUE(child<QLabel>(*searching, "count").text().startsWith("Stopped"));
}

TEST_F(SearchDialogTest, DownloadToMakesOneJobPerServerLeavingOutWhatASelectedFolderHolds) {
    const SharedPtr<TreeEntry> one = add_local_server("one");
    test::write_file_at(folder.file("places/one/docs/a.txt"), "a", Start);
    test::write_file_at(folder.file("places/one/c.txt"), "c", Start);
    test::TempFolder served;
    const std::string far = test::random_bytes(200'000);
    test::write_file_at(served.file("d.txt"), far, Start);
    const SharedPtr<TreeEntry> two = add_ftp_server(served.path());
    ASSERT_TRUE(test::scan(one->server));
    ASSERT_TRUE(test::scan(two->server));
    const auto found = dialog(servers());
    child<QCheckBox>(*found, "directories").setChecked(true);
    EXPECT_EQ(search(*found, "").size(), 6u);  // each server's root too
    // All but the roots: a.txt is in the selected docs, so only docs fetches it.
    for (int row = 0; row < found->results().rowCount(); ++row)
        if (found->results().result(row).entry->parent() != nullptr)
            found->view().selectionModel()->select(
                found->results().index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const std::string target = folder.file("target");
    test::when_shown("selectFolderDialog", [&](QWidget& asked) {
        QLineEdit* field = child<QComboBox>(asked, "folder").lineEdit();
        field->setText(QString::fromStdString(target));
        QTest::keyClick(field, Qt::Key_Return);
    });
    SearchResultActions(*application, desktop, found->results(), found->view())
        .download_to(found.get(), false);
    const std::vector<SharedPtr<Downloader>> jobs =
        DownloadList(application->document()->downloads()).jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_TRUE(test::wait_until([&] {
        return std::all_of(jobs.begin(), jobs.end(), [](const SharedPtr<Downloader>& job) {
            return job->status().state == Downloader::State::Complete;
        });
    }));
    EXPECT_EQ(jobs[0]->status().item_count, 2u);
    for (const char* file : {"docs/a.txt", "c.txt"})
        EXPECT_TRUE(std::filesystem::exists(target + "/" + file)) << file;
    EXPECT_TRUE(test::read_file(target + "/d.txt") == far);
}

TEST_F(SearchDialogTest, SelectInTreeSelectsTheFolderOfTheResultInTheWindow) {
    const SharedPtr<TreeEntry> local = add_local_server("local");
    test::write_file_at(folder.file("places/local/movies/b.avi"), "b", Start);
    ASSERT_TRUE(test::scan(local->server));
    MainWindow& main = open_window();
    test::when_shown("search", [&](QWidget& shown) {
        auto& found = static_cast<SearchDialog&>(shown);
        ASSERT_EQ(search(found, "b.avi").size(), 1u);
        found.view().selectRow(0);
        emit found.select_in_tree(
            SearchResultActions(*application, desktop, found.results(), found.view())
                .folder_state());
        found.accept();
    });
    main.route(Command::Search);
    EXPECT_EQ(main.tree()->selected_folder(), test::entry_at(local->server->root(), "movies"));
}

}  // namespace
}  // namespace tovan
