#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <optional>

#include "app/gui/ShareBrowser.h"
#include "engine/smb/SmbCredentials.h"
#include "fixtures/SmbServer.h"
#include "gui/support/Modal.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

using test::child;
using test::SmbServer;
using test::when_shown;

class ShareBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string reason = SmbServer::skip_reason(); !reason.empty())
            GTEST_SKIP() << reason;
        for (const char* folder : {"pub/docs/old", "pub/music", "vault/keys"})
            std::filesystem::create_directories(sandbox.file(folder));
        test::write_file(sandbox.file("pub/readme.txt"), "files are not offered");
        smbd.emplace(std::vector<SmbServer::Share>{{"pub", sandbox.file("pub")},
                                                   {"vault", sandbox.file("vault"), "root"}});
        ASSERT_TRUE(smbd->is_running()) << smbd->log();
        ASSERT_TRUE(smbd->add_login("root", "Secret 1"));
        SmbCredentials::use_folder(data.path());
    }
    void TearDown() override { SmbCredentials::use_folder({}); }

    // The names under the item (the top level for null), once they are listed.
    static QStringList names_under(QTreeWidget& tree, QTreeWidgetItem* item) {
        const auto count = [&] {
            return item != nullptr ? item->childCount() : tree.topLevelItemCount();
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return count() > 0 && tree.isEnabled(); }, 20000));
        QStringList names;
        for (int at = 0; at < count(); ++at)
            names << (item != nullptr ? item->child(at) : tree.topLevelItem(at))->text(0);
        return names;
    }

    static QTreeWidgetItem* expand(QTreeWidget& tree, QTreeWidgetItem* item) {
        tree.setCurrentItem(item);
        QTest::keyClick(&tree, Qt::Key_Right);
        return item;
    }

    test::TempFolder sandbox;
    test::TempFolder data;
    std::optional<SmbServer> smbd;
};

TEST_F(ShareBrowserTest, ListsTheSharesOfATypedHostThenTheFoldersOfEachShare) {
    when_shown("shareBrowser", [&](QWidget& dialog) {
        QLineEdit* host = child<QComboBox>(dialog, "host").lineEdit();
        QTest::keyClicks(host, QString::fromStdString("smb://" + smbd->host() + "/"));
        QTest::keyClick(host, Qt::Key_Return);
        auto& tree = child<QTreeWidget>(dialog, "folders");
        EXPECT_EQ(names_under(tree, nullptr), QStringList({"pub", "vault"}));
        QTreeWidgetItem* pub = expand(tree, tree.topLevelItem(0));
        EXPECT_EQ(names_under(tree, pub), QStringList({"docs", "music"}));
        tree.setCurrentItem(pub->child(0));
        QTest::keyClick(&tree, Qt::Key_Return);
    });
    EXPECT_EQ(ShareBrowser::ask(nullptr), "smb://" + smbd->host() + "/pub/docs/");
}

TEST_F(ShareBrowserTest, AShareThatRefusesTheGuestAsksForALoginAndKeepsIt) {
    const SmbCredentials::Login login{"", "root", "Secret 1"};
    when_shown("shareBrowser", [&](QWidget& dialog) {
        auto& tree = child<QTreeWidget>(dialog, "folders");
        EXPECT_EQ(names_under(tree, nullptr), QStringList({"pub", "vault"}));
        when_shown("smbLoginDialog", [](QWidget& login_dialog) {
            QTest::keyClicks(&child<QLineEdit>(login_dialog, "user"), "root");
            QTest::keyClicks(&child<QLineEdit>(login_dialog, "password"), "Secret 1");
            QTest::keyClick(&child<QLineEdit>(login_dialog, "password"), Qt::Key_Return);
        });
        EXPECT_EQ(names_under(tree, expand(tree, tree.topLevelItem(1))), QStringList({"keys"}));
        QTest::keyClick(&tree, Qt::Key_Escape);
    });
    EXPECT_EQ(ShareBrowser::ask(nullptr, smbd->host()), std::nullopt);
    EXPECT_EQ(SmbCredentials::find(smbd->host()), login);
    EXPECT_TRUE(std::filesystem::exists(data.file(SmbCredentials::FileName)));
}

}  // namespace
}  // namespace tovan
