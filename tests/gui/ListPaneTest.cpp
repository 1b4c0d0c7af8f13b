#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <ctime>
#include <filesystem>

#include "app/Document.h"
#include "app/DownloadList.h"
#include "app/EntryDownload.h"
#include "app/NodeMarks.h"
#include "app/Options.h"
#include "app/gui/DownloadListModel.h"
#include "app/gui/EntryListModel.h"
#include "app/gui/ListPane.h"
#include "app/gui/TreePane.h"
#include "engine/catalog/Server.h"
#include "fixtures/HttpServer.h"
#include "gui/support/Modal.h"
#include "gui/support/OpenedUrls.h"
#include "gui/support/WindowTest.h"
#include "support/RandomBytes.h"
#include "support/ScanRun.h"
#include "support/WaitUntil.h"

namespace tovan {
namespace {

class ListPaneTest : public test::WindowTest {
protected:
    ListPane& list() { return *window->list(); }

    // A local server of the files given (path, bytes), scanned in an open window.
    SharedPtr<TreeEntry> server_of(const std::vector<std::pair<std::string, std::string>>& files) {
        const SharedPtr<TreeEntry> node = add_local_server("nas");
        write(files, std::time(nullptr) - 100);
        options().show_changed_only = false;
        open_window();
        scan(node);
        return node;
    }
    void write(const std::vector<std::pair<std::string, std::string>>& files, std::int64_t when) {
        for (const auto& [path, bytes] : files)
            test::write_file_at(folder.file("places/nas/" + path), bytes, when);
    }
    QStringList headers() {
        QStringList texts;
        for (int column = 0; column < list().model()->columnCount(); ++column)
            texts << list().model()->headerData(column, Qt::Horizontal).toString();
        return texts;
    }
    QStringList names() {
        QStringList texts;
        for (int row = 0; row < list().model()->rowCount(); ++row)
            texts << list().model()->index(row, 0).data().toString();
        return texts;
    }
    QModelIndex row_named(const QString& name) {
        const int row = static_cast<int>(names().indexOf(name));
        return row < 0 ? QModelIndex() : list().model()->index(row, 0);
    }
    void choose(const QString& name) {
        focus_list();
        list().setCurrentIndex(row_named(name));
    }
    // A menu that closed may leave the window inactive, without a focus.
    void focus_list() {
        show_active();
        list().setFocus();
    }
    // A press first, as from a real mouse: the view opens the row pressed.
    void double_click(const QString& name) {
        const QPoint at = list().visualRect(row_named(name)).center();
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, at);
    }
    QString chosen() { return list().currentIndex().siblingAtColumn(0).data().toString(); }
    // The texts of the context menu at the row, "|" for a separator.
    QStringList menu_at(const QModelIndex& index) {
        QStringList texts;
        test::on_context_menu(list(), index, [&](QMenu& menu) {
            for (QAction* each : menu.actions())
                texts << (each->isSeparator() ? "|" : each->text());
        });
        return texts;
    }
};

TEST_F(ListPaneTest, EachSelectionShowsItsModeAndAModeKeepsItsColumnWidths) {
    const SharedPtr<TreeEntry> nas = server_of({{"a/x", "1"}, {"b.txt", "22"}});
    select(application->document()->servers());
    EXPECT_EQ(list().mode(), ListPane::Mode::Servers);
    EXPECT_EQ(headers(), QStringList({"Name", "Type", "Folders", "Files", "Size"}));
    EXPECT_EQ(names(), QStringList{"nas"});

    select(nas);
    EXPECT_EQ(list().mode(), ListPane::Mode::Entries);
    EXPECT_EQ(headers(), QStringList({"Name", "Size", "Type", "Date Modified"}));
    EXPECT_EQ(names(), QStringList({"a", "b.txt"}));
    list().setColumnWidth(0, 321);

    select(application->document()->downloads());
    EXPECT_EQ(list().mode(), ListPane::Mode::Downloads);
    EXPECT_EQ(headers(), QStringList({"File", "Progress", "Speed", "Size", "Downloaded Files"}));
    select(nas, test::entry_at(nas->server->root(), "a"));
    EXPECT_EQ(names(), QStringList{"x"});
    EXPECT_EQ(list().columnWidth(0), 321);
}

// A folder opens in the tree, so Back returns from it; a file opens with the
// desktop's application.
TEST_F(ListPaneTest, DoubleClickOpensAFolderInTheTreeAndAFileWithItsApplication) {
    const SharedPtr<TreeEntry> nas = server_of({{"a/x", "1"}, {"b.txt", "22"}});
    select(nas);
    show_active();
    test::OpenedUrls opened({"file"});

    double_click("b.txt");
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_EQ(opened.urls.front().toLocalFile().toStdString(), folder.file("places/nas/b.txt"));

    double_click("a");
    EXPECT_EQ(window->tree()->current_state().entry, test::entry_at(nas->server->root(), "a"));
    EXPECT_EQ(names(), QStringList{"x"});
    window->route(Command::Back);
    EXPECT_EQ(names(), QStringList({"a", "b.txt"}));
}

TEST_F(ListPaneTest, BackPassesOverAFolderThatARescanDropped) {
    const SharedPtr<TreeEntry> nas = server_of({{"a/x", "1"}, {"b", "1"}});
    select(nas, test::entry_at(nas->server->root(), "a"));
    select(nas);
    std::filesystem::remove_all(folder.file("places/nas/a"));
    scan(nas);
    window->route(Command::Unmark);
    ASSERT_EQ(test::entry_at(nas->server->root(), "a"), nullptr);

    window->route(Command::Back);
    EXPECT_EQ(window->tree()->selected_node(), application->document()->servers());
}

TEST_F(ListPaneTest, ClickingSizeTwiceSortsAscendingThenDescendingAndKeepsTheSelection) {
    const SharedPtr<TreeEntry> nas = server_of({{"b", "333"}, {"c", "1"}, {"d", "22"}});
    select(nas);
    show_active();
    choose("c");
    QHeaderView& header = *list().horizontalHeader();
    const QPoint size_header(header.sectionViewportPosition(EntryListModel::Size) + 5, 5);

    QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, size_header);
    EXPECT_EQ(names(), QStringList({"c", "d", "b"}));
    QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, size_header);
    EXPECT_EQ(names(), QStringList({"b", "d", "c"}));
    EXPECT_EQ(chosen(), "c");
    EXPECT_EQ(list().selected_rows(), std::vector<int>{2});
}

// With rows chosen the list's commands act on them; without, on the tree's
// selection.
TEST_F(ListPaneTest, CommandsActOnTheChosenRowsWhileTheListHasTheFocus) {
    const SharedPtr<TreeEntry> nas = server_of({{"b", "1"}, {"c", "1"}, {"d", "1"}});
    NodeMarks::clear(*nas);
    write({{"b", "22"}, {"c", "22"}}, std::time(nullptr) - 50);
    scan(nas);
    options().show_changed_only = true;
    select(nas);
    show_active();
    ASSERT_EQ(names(), QStringList({"b", "c"}));
    EXPECT_EQ(menu_at(row_named("c")),
              QStringList({"&Mark As Viewed", "|", "&Open", "Copy &URL", "&Download To...",
                           "&Add To Ignore List...", "&Copy"}));

    choose("c");
    window->route(Command::CopyUrl);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              nas->server->url_with_scheme(test::entry_at(nas->server->root(), "c").get()));
    window->route(Command::Unmark);
    EXPECT_EQ(names(), QStringList{"b"});
    EXPECT_EQ(test::entry_at(nas->server->root(), "b")->state(), EntryState::Modified);

    list().clearSelection();
    window->route(Command::Unmark);
    EXPECT_EQ(test::entry_at(nas->server->root(), "b")->state(), EntryState::Unchanged);
}

// The tick brings a rescan of the shown folder into the list, and the chosen
// row moves with its file.
TEST_F(ListPaneTest, TheChosenRowSurvivesALiveRescanOfTheShownFolder) {
    const SharedPtr<TreeEntry> nas = server_of({{"a", "1"}, {"c", "1"}});
    select(nas);
    show_active();
    choose("c");
    write({{"b", "1"}}, std::time(nullptr) - 50);
    scan(nas);
    EXPECT_EQ(names(), QStringList({"a", "b", "c"}));
    EXPECT_EQ(chosen(), "c");
    EXPECT_EQ(list().selected_rows(), std::vector<int>{2});
}

// The job commands of the downloads list, on a job that copies a file of a
// local server.
// Edit takes the job's own copy of its server through the server's dialog and
// starts the job again under the name given there.
TEST_F(ListPaneTest, AJobIsEditedAndRemovedFromItsContextMenu) {
    const SharedPtr<TreeEntry> nas = server_of({{"b", test::random_bytes(100'000)}});
    const std::string into = folder.file("into");
    std::filesystem::create_directories(into);
    const SharedPtr<Downloader> job =
        EntryDownload::make_job(application->internet_session(), *nas->server,
                                {test::entry_at(nas->server->root(), "b")}, into, false);
    DownloadList(application->document()->downloads()).add(job);
    select(application->document()->downloads());
    show_active();
    focus_list();
    list().selectRow(0);

    EXPECT_EQ(menu_at(list().model()->index(0, 0)),
              QStringList({"&Open", "&Open Local Folder...", "&Edit", "&Remove", "|", "&Resume",
                           "&Pause", "&Download Again", "|", "&View Transfer Log..."}));
    test::when_shown("serverPathDialog", [](QWidget& dialog) {
        QLineEdit& name = test::child<QLineEdit>(dialog, "name");
        name.setText("renamed");
        QTest::keyClick(&name, Qt::Key_Return);
        // A local job's path came as a URL the dialog refused, and OK did nothing.
        if (dialog.isVisible()) {
            ADD_FAILURE() << "the dialog refused the job's own path";
            static_cast<QDialog&>(dialog).reject();
        }
    });
    window->route(Command::EditDownload);
    ASSERT_TRUE(test::wait_until([&] {
        window->tick();
        return job->is_finished() && !job->has_thread();
    }));
    window->tick();  // the row shows what the job had at the tick before it ended
    EXPECT_EQ(test::read_file(into + "/b"), test::read_file(folder.file("places/nas/b")));
    EXPECT_EQ(list().model()->index(0, DownloadListModel::File).data().toString(), "renamed");
    EXPECT_EQ(list().model()->index(0, DownloadListModel::Speed).data().toString(), "complete");

    focus_list();
    window->route(Command::Remove);
    EXPECT_EQ(list().model()->rowCount(), 0);
    EXPECT_TRUE(DownloadList(application->document()->downloads()).jobs().empty());
}

// Pause, Resume and Download Again on a job that runs, fetching from the
// project's HTTP server slowly enough to be caught running.
TEST_F(ListPaneTest, ARunningJobPausesResumesAndDownloadsAgainFromTheList) {
    test::TempFolder source;
    test::write_file(source.file("big.bin"), test::random_bytes(600'000));
    test::HttpServer http{{.root = source.path(), .rate = 300'000}};
    Server place;
    ASSERT_TRUE(place.from_url("http://127.0.0.1:" + std::to_string(http.port()) + "/"));
    const auto job = make_shared<Downloader>(application->internet_session());
    job->set_server(place);
    job->add_path("big.bin", folder.path());
    DownloadList(application->document()->downloads()).add(job);
    open_window();
    select(application->document()->downloads());
    focus_list();
    list().selectRow(0);
    const auto column = [&](int column) { return list().model()->index(0, column).data(); };

    window->route(Command::Resume);
    ASSERT_TRUE(test::wait_until([&] { return job->status().progress > 0; }));
    window->route(Command::Pause);
    ASSERT_TRUE(test::wait_until([&] { return !job->has_thread(); }));
    window->tick();
    EXPECT_EQ(column(DownloadListModel::Speed).toString(), "paused");

    window->route(Command::Resume);
    ASSERT_TRUE(job->has_thread());
    window->route(Command::DownloadAgain);
    ASSERT_TRUE(test::wait_until([&] {
        window->tick();
        return job->is_finished() && !job->has_thread();
    }));
    window->tick();  // the row shows what the job had at the tick before it ended
    EXPECT_EQ(test::read_file(folder.file("big.bin")), test::read_file(source.file("big.bin")));
    EXPECT_EQ(column(DownloadListModel::DownloadedFiles).toString(), "1/ 1");
}

}  // namespace
}  // namespace tovan
