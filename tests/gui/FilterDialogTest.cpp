#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "app/gui/FilterDialog.h"
#include "gui/support/Modal.h"
#include "gui/support/WindowTest.h"
#include "support/LoadedDocument.h"

namespace tovan {
namespace {

using test::child;
using test::when_shown;

const std::vector<std::string> Abcd{"a", "b", "c", "d"};

void select_rows(QListWidget& list, const std::vector<int>& rows) {
    list.clearSelection();
    for (int row : rows) list.item(row)->setSelected(true);
}

void press(QWidget& dialog, QDialogButtonBox::StandardButton which) {
    QTest::mouseClick(child<QDialogButtonBox>(dialog, "buttons").button(which), Qt::LeftButton);
}

struct BlockMove {
    std::vector<int> selected;
    const char* button;
    std::vector<std::string> expected;
};

class MaskBlockMoves : public ::testing::TestWithParam<BlockMove> {};

TEST_P(MaskBlockMoves, ASelectedBlockMovesByOneOnlyWhereItHasRoom) {
    const BlockMove& move = GetParam();
    when_shown("filterDialog", [&](QWidget& dialog) {
        select_rows(child<QListWidget>(dialog, "masks"), move.selected);
        QTest::mouseClick(&child<QPushButton>(dialog, move.button), Qt::LeftButton);
        // The block stays selected, so a second press moves it on.
        QTest::mouseClick(&child<QPushButton>(dialog, move.button), Qt::LeftButton);
        press(dialog, QDialogButtonBox::Ok);
    });
    EXPECT_EQ(FilterDialog::ask(nullptr, Abcd), move.expected);
}

INSTANTIATE_TEST_SUITE_P(UpAndDown, MaskBlockMoves,
                         ::testing::Values(BlockMove{{0, 1}, "up", Abcd},
                                           BlockMove{{2, 3}, "down", Abcd},
                                           BlockMove{{1, 2}, "up", {"b", "c", "a", "d"}},
                                           BlockMove{{1, 2}, "down", {"a", "d", "b", "c"}},
                                           BlockMove{{0, 2}, "down", {"b", "d", "a", "c"}},
                                           BlockMove{{1, 3}, "up", {"b", "d", "a", "c"}}));

TEST(FilterDialog, AddPutsTheMaskFirstAndEnterWithAnEmptyFieldAccepts) {
    when_shown("filterDialog", [](QWidget& dialog) {
        auto& mask = child<QLineEdit>(dialog, "mask");
        EXPECT_TRUE(mask.hasFocus());
        QTest::keyClicks(&mask, " -*.tmp ");
        QTest::keyClick(&mask, Qt::Key_Return);
        EXPECT_EQ(mask.text(), "");
        EXPECT_TRUE(mask.hasFocus());
        select_rows(child<QListWidget>(dialog, "masks"), {2});
        QTest::mouseClick(&child<QPushButton>(dialog, "remove"), Qt::LeftButton);
        QTest::keyClick(&mask, Qt::Key_Return);
    });
    EXPECT_EQ(FilterDialog::ask(nullptr, {"+*.mkv", "*.*"}),
              (std::vector<std::string>{"-*.tmp", "+*.mkv"}));
}

class FilterCommand : public test::WindowTest {
protected:
    std::vector<std::string> stored_masks() const {
        return test::LoadedDocument(data_folder()).filter().masks();
    }
};

TEST_F(FilterCommand, OkStoresTheMasksAndCancelWritesNothing) {
    MainWindow& frame = open_window();
    frame.route(Command::SaveState);
    const auto before = test::data_files(data_folder());
    const std::vector<std::string> masks = application->document()->filter().masks();

    when_shown("filterDialog", [](QWidget& dialog) {
        QTest::keyClicks(&child<QLineEdit>(dialog, "mask"), "-*.part");
        QTest::mouseClick(&child<QPushButton>(dialog, "add"), Qt::LeftButton);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    frame.route(Command::EditFilter);
    EXPECT_EQ(test::data_files(data_folder()), before);
    EXPECT_EQ(application->document()->filter().masks(), masks);

    when_shown("filterDialog", [](QWidget& dialog) {
        QTest::keyClicks(&child<QLineEdit>(dialog, "mask"), "-*.part");
        QTest::mouseClick(&child<QPushButton>(dialog, "add"), Qt::LeftButton);
        press(dialog, QDialogButtonBox::Ok);
    });
    frame.route(Command::EditFilter);
    std::vector<std::string> expected = masks;
    expected.insert(expected.begin(), "-*.part");
    EXPECT_EQ(application->document()->filter().masks(), expected);
    EXPECT_EQ(stored_masks(), expected);
}

}  // namespace
}  // namespace tovan
