#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <filesystem>
#include <optional>
#include <string>

#include "app/gui/HostKeyDialog.h"
#include "engine/catalog/Server.h"
#include "fixtures/SshServer.h"
#include "support/Modal.h"
#include "support/ScopedEnvironment.h"
#include "support/WindowTest.h"

namespace tovan::test {
namespace {

// The window's question about an SFTP server's host key, against a real sshd
// whose key the data folder does not know yet. HOME is the server's, so the
// user's own known_hosts plays no part.
class HostKeyDialogTest : public WindowTest {
protected:
    void SetUp() override {
        if (const std::string why = SshServer::skip_reason(); !why.empty())
            GTEST_SKIP() << why;
        ASSERT_TRUE(sshd.is_running());
        home_.emplace("HOME", sshd.home());
        open_window();
        server->set_ftp(FtpSettings{"127.0.0.1", "root", "", true, sshd.port()}, "/",
                        ServerKind::Sftp);
    }

    // Answers the next question about an unknown key with the button of that role.
    void answer_question(QMessageBox::ButtonRole role) {
        when_shown("hostKey", [role](QWidget& modal) {
            auto& question = static_cast<QMessageBox&>(modal);
            EXPECT_TRUE(question.text().contains("127.0.0.1")) << question.text().toStdString();
            EXPECT_TRUE(question.text().contains("SHA256:")) << question.text().toStdString();
            for (QAbstractButton* button : question.buttons())
                if (question.buttonRole(button) == role)
                    return button->click();
            ADD_FAILURE() << "no button of role " << role;
            question.reject();
        });
    }
    bool confirm() { return HostKeyDialog::confirm(window.get(), *server); }
    std::string known_hosts() const { return data_folder() + "/known_hosts"; }

    SshServer sshd;
    SharedPtr<Server> server = make_shared<Server>();

private:
    std::optional<ScopedEnvironment> home_;
};

TEST_F(HostKeyDialogTest, OnlyAnAcceptedKeyIsStoredAndAKnownOneIsNotAskedAgain) {
    answer_question(QMessageBox::RejectRole);
    EXPECT_FALSE(confirm());
    EXPECT_FALSE(std::filesystem::exists(known_hosts()));

    answer_question(QMessageBox::AcceptRole);
    EXPECT_TRUE(confirm());
    // Stops here when the key was not stored: asking again would wait for an answer.
    ASSERT_EQ(read_file(known_hosts()), sshd.known_hosts_line());
    EXPECT_TRUE(confirm());
}

TEST_F(HostKeyDialogTest, AChangedKeyIsRefusedWithBothFingerprintsAndTheOldOneKept) {
    answer_question(QMessageBox::AcceptRole);
    ASSERT_TRUE(confirm());
    const std::string accepted = read_file(known_hosts());
    sshd.stop();
    ASSERT_TRUE(sshd.start(true));

    when_shown(
        [](QWidget& modal) {
            const auto* box = qobject_cast<QMessageBox*>(&modal);
            return box != nullptr && box->icon() == QMessageBox::Critical;
        },
        [](QWidget& modal) {
            auto& box = static_cast<QMessageBox&>(modal);
            const std::string text = box.text().toStdString();
            // The core's message, begun as a sentence in the window.
            EXPECT_TRUE(text.starts_with("The host key of 127.0.0.1 changed: it was SHA256:"))
                << text;
            EXPECT_NE(text.find("it is now SHA256:"), std::string::npos) << text;
            EXPECT_NE(text.find("in the window with Edit..."), std::string::npos) << text;
            box.accept();
        });
    EXPECT_FALSE(confirm());
    EXPECT_EQ(read_file(known_hosts()), accepted);
}

}  // namespace
}  // namespace tovan::test
