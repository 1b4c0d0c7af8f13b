#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <filesystem>

#include "app/Document.h"
#include "app/gui/CertificateDialog.h"
#include "app/gui/MainWindow.h"
#include "app/gui/TreePane.h"
#include "engine/catalog/Server.h"
#include "fixtures/FtpsServer.h"
#include "support/Modal.h"
#include "support/WindowTest.h"

namespace tovan::test {
namespace {

using CertificateDialogTest = WindowTest;

TEST_F(CertificateDialogTest, ARescanAfterAnUntrustedCertificateShowsItAndTrustKeepsIt) {
    const FtpsServer ftps(folder.path());
    open_window();
    const SharedPtr<TreeEntry> node = add_local_server("nas");
    ASSERT_TRUE(node->server->from_url("ftps://127.0.0.1:" + std::to_string(ftps.port()) + "/"));
    scan(node);
    ASSERT_NE(node->server->last_error().find("not trusted"), std::string::npos);

    select(node);
    // The busy note of the certificate probe is modal too, and shows first on a slow machine.
    on_next_modal<CertificateDialog>([&](CertificateDialog& dialog) {
        const QString details = dialog.findChild<QLabel*>("details")->text();
        EXPECT_TRUE(details.contains("CN=ferrovane-test")) << details.toStdString();
        EXPECT_TRUE(details.contains(QString::fromStdString(ftps.fingerprint())));
        dialog.findChild<QPushButton*>("trust")->click();
    });
    window->tree()->run(Command::Synchronize);
    tick_until_idle();
    EXPECT_EQ(application->document()->certificates().of(*node->server).fingerprint,
              ftps.fingerprint());
    EXPECT_TRUE(std::filesystem::exists(data_folder() + "/certificates"));
    EXPECT_EQ(node->server->last_error(), "");
}

}  // namespace
}  // namespace tovan::test
