#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <chrono>
#include <thread>

#include "app/DownloadList.h"
#include "app/gui/DownloadListModel.h"
#include "engine/catalog/Server.h"
#include "engine/curl/InternetSession.h"
#include "fixtures/HttpServer.h"
#include "support/RandomBytes.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"

namespace tovan {
namespace {

using namespace std::chrono_literals;
using Column = DownloadListModel::Column;

// Jobs of the project's HTTP server, sending slowly enough for the list to
// watch them, in a downloads tree shown by the model under test (which checks
// itself, fatally, after every signal).
class DownloadListModelTest : public ::testing::Test {
protected:
    DownloadListModelTest() {
        test::write_file(source.file("a.bin"), "first");
        test::write_file(source.file("b.bin"), test::random_bytes(300'000));
        test::write_file(source.file("c.bin"), "third");
        root->kind = TreeEntry::Downloads;
    }

    SharedPtr<Downloader> add_job(const std::string& name,
                                  std::initializer_list<const char*> files) {
        Server place;
        EXPECT_TRUE(place.from_url("http://127.0.0.1:" + std::to_string(http.port()) + "/"));
        auto job = make_shared<Downloader>(&session);
        job->set_server(place);
        job->set_name(name);
        for (const char* file : files) job->add_path(file, target.path());
        DownloadList(root).add(job);
        return job;
    }
    QString text(int row, Column column) const {
        return model.index(row, column).data().toString();
    }

    test::TempFolder source, target;
    test::HttpServer http{{.root = source.path(), .rate = 300'000}};
    InternetSession session;
    SharedPtr<TreeEntry> root = TreeEntry::make_group("Downloads");
    DownloadListModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

// Regression: the list was filled anew every second, which lost the selection
// and the scroll position. Rows now change in place.
TEST_F(DownloadListModelTest, ARunningDownloadUpdatesItsRowInPlaceAndKeepsTheSelection) {
    add_job("waits", {"c.bin"});
    const SharedPtr<Downloader> job = add_job("three", {"a.bin", "b.bin", "c.bin"});
    model.show_jobs(root);
    QItemSelectionModel selection(&model);
    selection.select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
    EXPECT_EQ(text(1, Column::Speed), "paused");

    // Each new text of the columns, in the order shown.
    QStringList progress, files_done;
    const auto note = [&] {
        for (auto [seen, column] : {std::pair{&progress, Column::Progress},
                                    std::pair{&files_done, Column::DownloadedFiles}})
            if (seen->isEmpty() || seen->back() != text(1, column))
                *seen << text(1, column);
    };
    note();
    job->resume();
    ASSERT_TRUE(test::wait_until([&] {
        std::this_thread::sleep_for(20ms);
        model.refresh();
        note();
        return job->status().state == Downloader::State::Complete;
    })) << job->log().text();
    model.refresh();

    // The second file, the large one, is on its way while the first is done.
    EXPECT_EQ(files_done.first(), "0/ 3");
    EXPECT_TRUE(files_done.contains("1/ 3")) << files_done.join(", ").toStdString();
    EXPECT_EQ(progress.first(), "?%");
    EXPECT_GE(progress.size(), 3) << progress.join(", ").toStdString();
    EXPECT_EQ(text(1, Column::Speed), "complete");
    EXPECT_EQ(text(1, Column::Progress), "100.0%");
    EXPECT_EQ(text(1, Column::DownloadedFiles), "3/ 3");
    EXPECT_EQ(text(1, Column::File), "three");
    EXPECT_EQ(text(1, Column::Size), "293.0 KB");
    EXPECT_GT(changed.size(), 0);
    EXPECT_EQ(reset.size() + removed.size() + layout.size(), 0);
    EXPECT_TRUE(selection.isRowSelected(1));
    EXPECT_EQ(model.job_at(1), job);
    EXPECT_EQ(model.node_at(1)->download, job);
}

// Another job's coming and going moves the selected row, never drops it.
TEST_F(DownloadListModelTest, JobsAddedOrRemovedBecomeRowsInsertedOrRemoved) {
    const SharedPtr<Downloader> first = add_job("first", {"a.bin"});
    const SharedPtr<Downloader> second = add_job("second", {"c.bin"});
    model.show_jobs(root);
    QItemSelectionModel selection(&model);
    selection.select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    add_job("third", {"b.bin"});
    ASSERT_TRUE(DownloadList(root).remove(first));
    model.refresh();

    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(inserted.size(), 1);
    EXPECT_EQ(reset.size(), 0);
    EXPECT_EQ(model.job_at(0), second);
    EXPECT_TRUE(selection.isRowSelected(0));
    EXPECT_EQ(text(1, Column::File), "third");
}

}  // namespace
}  // namespace tovan
