#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/gui/GroupDialog.h"
#include "gui/support/Modal.h"

namespace tovan {
namespace {

using test::child;
using test::when_shown;

QPushButton& ok_of(const QWidget& dialog) {
    return *child<QDialogButtonBox>(dialog, "buttons").button(QDialogButtonBox::Ok);
}

// An empty name used to close the dialog as if it had worked.
TEST(GroupDialog, OkWaitsForANameAndEnterTakesItWithoutOuterBlanks) {
    when_shown("groupDialog", [](QWidget& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "New Group");
        auto& name = child<QLineEdit>(dialog, "name");
        EXPECT_TRUE(name.hasFocus());
        EXPECT_FALSE(ok_of(dialog).isEnabled());
        QTest::keyClicks(&name, "   ");
        EXPECT_FALSE(ok_of(dialog).isEnabled());
        QTest::keyClick(&name, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        QTest::keyClicks(&name, "Films ");
        QTest::keyClick(&name, Qt::Key_Return);
    });
    EXPECT_EQ(GroupDialog::ask(nullptr), "Films");
}

TEST(GroupDialog, RenamingOffersTheNameAndEscapeChangesNothing) {
    when_shown("groupDialog", [](QWidget& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Rename Group");
        auto& name = child<QLineEdit>(dialog, "name");
        EXPECT_EQ(name.selectedText(), "NAS");
        QTest::keyClicks(&name, "Other");
        QTest::keyClick(&name, Qt::Key_Escape);
    });
    EXPECT_EQ(GroupDialog::ask(nullptr, "NAS"), std::nullopt);
}

}  // namespace
}  // namespace tovan
