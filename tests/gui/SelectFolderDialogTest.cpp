#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "app/Options.h"
#include "app/gui/SelectFolderDialog.h"
#include "gui/support/Modal.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

using test::child;
using test::ScopedEnvironment;
using test::when_shown;

class SelectFolderDialogTest : public ::testing::Test {
protected:
    // Types the text over what the field holds and presses Enter; the dialog
    // is closed with Escape if it stays open, and the problem it showed kept.
    std::optional<std::string> choose(const std::string& text) {
        problem.clear();
        when_shown("selectFolderDialog", [&](QWidget& dialog) {
            QLineEdit* field = child<QComboBox>(dialog, "folder").lineEdit();
            field->selectAll();
            QTest::keyClicks(field, QString::fromStdString(text));
            QTest::keyClick(field, Qt::Key_Return);
            if (!dialog.isVisible())
                return;
            const auto& shown = child<QLabel>(dialog, "problem");
            problem = shown.text().toStdString();
            QTest::keyClick(field, Qt::Key_Escape);
        });
        return SelectFolderDialog::ask(nullptr, options);
    }

    test::TempFolder folder;
    Options options;
    std::string problem;
};

// Every Linux path used to be refused and the dialog closed with nothing chosen.
TEST_F(SelectFolderDialogTest, AFullPathIsTakenAndMadeWhereItIsMissing) {
    EXPECT_EQ(choose(folder.path() + "/"), folder.path());
    EXPECT_EQ(choose(folder.file("new/deeper")), folder.file("new/deeper"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("new/deeper")));
    EXPECT_EQ(options.download_folder, folder.file("new/deeper"));
}

TEST_F(SelectFolderDialogTest, AFolderThatCannotBeMadeIsRefusedWithTheReasonAndTheDialogStays) {
    test::write_file(folder.file("file"), "x");
    EXPECT_EQ(choose(folder.file("file/sub")), std::nullopt);
    EXPECT_NE(problem.find("file/sub can't be made"), std::string::npos) << problem;
    EXPECT_EQ(choose("relative/path"), std::nullopt);
    EXPECT_NE(problem.find("not a full path"), std::string::npos) << problem;
    EXPECT_EQ(options.download_folder, "");
    EXPECT_TRUE(options.download_folders.empty());
}

TEST_F(SelectFolderDialogTest, TheSameFolderChosenTwiceIsKeptOnceAtTheFront) {
    options.download_folders = {"/elsewhere"};
    const std::string home = folder.file("home");
    std::filesystem::create_directories(home + "/Downloads");
    {
        const ScopedEnvironment own_home("HOME", home);
        choose("~/Downloads");
    }
    choose(folder.path());
    choose(home + "/Downloads/");
    EXPECT_EQ(options.download_folders,
              (std::vector<std::string>{home + "/Downloads", folder.path(), "/elsewhere"}));
    EXPECT_EQ(options.download_folder, home + "/Downloads");
}

}  // namespace
}  // namespace tovan
