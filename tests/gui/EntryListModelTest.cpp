#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <ctime>
#include <filesystem>

#include "app/Options.h"
#include "app/gui/EntryListModel.h"
#include "app/gui/TreeLook.h"
#include "engine/catalog/ChangeMarks.h"
#include "engine/catalog/Server.h"
#include "support/ScanRun.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

// A local server over a temporary folder, scanned by a real scanner, with its
// root shown in a table.
class EntryListModelTest : public ::testing::Test {
protected:
    EntryListModelTest() {
        server->from_url(folder.path() + "/");
        server->set_parent_filter(test::everything());
        options.show_changed_only = false;
        view.setModel(&model);
        view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view.resize(600, 300);
    }
    void write(const std::string& name, std::size_t size, std::int64_t age = 100) {
        test::write_file_at(folder.file(name), std::string(size, 'x'), std::time(nullptr) - age);
    }
    void remove(const std::string& name) { std::filesystem::remove_all(folder.file(name)); }
    void scan() { ASSERT_TRUE(test::scan(server)); }
    void show() { model.show_folder(node, server->root()); }
    QString text(int row, int column, int role = Qt::DisplayRole) const {
        return model.index(row, column).data(role).toString();
    }
    QStringList names(const EntryListModel& of) const {
        QStringList shown;
        for (int row = 0; row < of.rowCount(); ++row) shown << of.index(row, 0).data().toString();
        return shown;
    }
    // What the folder shows when it is shown afresh in the same sort.
    QStringList fresh_names() const {
        EntryListModel fresh(options);
        fresh.sort(model.sort_column(), model.sort_order());
        fresh.show_folder(node, server->root());
        return names(fresh);
    }
    SharedPtr<Entry> current() const { return model.entry_at(view.currentIndex().row()); }
    void select(int row) {
        view.selectionModel()->setCurrentIndex(
            model.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    test::TempFolder folder;
    SharedPtr<Server> server = make_shared<Server>();
    SharedPtr<TreeEntry> node = TreeEntry::make_server_node(server, "nas");
    Options options;
    EntryListModel model{options};
    QTableView view;
};

// The model checks itself after every signal (fatally) while rescans add,
// change and remove files, a few and then many at once, in every sort: the rows
// end as a fresh fill would show them, and selection, current row and scroll
// position stay, because nothing is refilled.
TEST_F(EntryListModelTest, RescansOfTheShownFolderChangeRowsInPlaceInEverySort) {
    const std::pair<int, Qt::SortOrder> sorts[] = {{EntryListModel::Name, Qt::AscendingOrder},
                                                   {EntryListModel::Name, Qt::DescendingOrder},
                                                   {EntryListModel::Size, Qt::AscendingOrder},
                                                   {EntryListModel::Date, Qt::DescendingOrder}};
    for (const auto& [column, order] : sorts) {
        SCOPED_TRACE(column * 2 + order);
        remove("");
        for (int index = 0; index < 200; ++index) write("f" + std::to_string(index), index);
        scan();
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        model.sort(column, order);
        show();
        select(150);
        view.scrollTo(model.index(140, 0), QAbstractItemView::PositionAtTop);
        const int scrolled = view.verticalScrollBar()->value();
        const SharedPtr<Entry> kept = current();
        const std::string kept_name(kept->name());
        // A few runs of rows, then more than are signalled one by one.
        for (int step : {50, 2}) {
            for (int index = 0; index < 200; index += step) {
                const std::string name = "f" + std::to_string(index);
                if (name == kept_name)
                    continue;
                if (index % (2 * step) == 0)
                    remove(name);
                else
                    write(name, 1000 + index);
                write(name + "n", 7);
            }
            scan();
            model.refresh();
            EXPECT_EQ(names(model), fresh_names());
            EXPECT_EQ(current().get(), kept.get());
            EXPECT_TRUE(view.selectionModel()->isRowSelected(view.currentIndex().row()));
            EXPECT_EQ(view.verticalScrollBar()->value(), scrolled);
        }
        EXPECT_EQ(resets.count(), 1);
        ChangeMarks::set(*server->root(), EntryState::Unchanged);
        server->set_root(Entry::create_folder(""));
    }
}

TEST_F(EntryListModelTest, ChangedOnlyShowsNothingOfAFolderWithoutChanges) {
    write("a", 1);
    write("d/b", 1);
    scan();
    ChangeMarks::set(*server->root(), EntryState::Unchanged);
    options.show_changed_only = true;
    show();
    EXPECT_EQ(model.rowCount(), 0);
    write("c", 1);
    scan();
    model.refresh();
    EXPECT_EQ(names(model), QStringList{"c"});
}

// What each column shows of files and folders, marked and not.
TEST_F(EntryListModelTest, RowsShowTypesMarksAndExcludedFolders) {
    write("old.txt", 1024);
    write("kept/x", 1);
    write("skipped/y", 3);
    scan();
    ChangeMarks::set(*server->root(), EntryState::Unchanged);
    write("old.txt", 1536, 50);
    write("new.mkv", 2048);
    server->set_scan_depth(*test::entry_at(server->root(), "skipped"), Server::NoScan);
    scan();
    show();
    ASSERT_EQ(names(model), (QStringList{"kept", "skipped", "new.mkv", "old.txt"}));
    const QString table[][4] = {
        {"kept", "1 Bytes", "File Folder"},
        {"skipped", "3 Bytes", "File Folder"},
        {"new.mkv", "2.0 KB", "Matroska video"},
        {"old.txt", "*1.5 KB(+512 Bytes)", "plain text document"},
    };
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(text(row, column), table[row][column]) << row << ":" << column;
    EXPECT_EQ(model.index(1, 0).data(Qt::ForegroundRole).value<QColor>(),
              TreeLook::excluded_colour());
    EXPECT_EQ(model.index(2, 0).data(Qt::ForegroundRole).value<QColor>(),
              TreeLook::colour_of(EntryState::New));
    EXPECT_EQ(text(3, EntryListModel::Date).front(), '*');
    EXPECT_FALSE(model.index(3, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(model.index(3, EntryListModel::Size).data(Qt::TextAlignmentRole).toInt(),
              Qt::AlignRight | Qt::AlignVCenter);
    // Type names sort as text; folders of one type keep catalog order.
    model.sort(EntryListModel::Type, Qt::DescendingOrder);
    EXPECT_EQ(names(model), (QStringList{"old.txt", "new.mkv", "kept", "skipped"}));
}

}  // namespace
}  // namespace tovan
