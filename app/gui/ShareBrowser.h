#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>

#include "app/gui/NetworkListing.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tovan {

// Picks a share of a network host, or a folder in one: the user types or picks
// a host, its shares are listed, and each share opens into its folders as it
// is expanded. Where the host refuses the guest, it asks for a login and keeps
// it for the host, as a login given in a location is kept.
class ShareBrowser : public QDialog {
    Q_OBJECT

public:
    static constexpr int PollMs = 50;

    // host: listed at once when not empty.
    explicit ShareBrowser(const std::string& host, QWidget* parent = nullptr);
    ~ShareBrowser() override;

    // smb://host/share/folder/ of the chosen item on OK; nothing on Cancel.
    static std::optional<std::string> ask(QWidget* parent, const std::string& host = {});

    std::string chosen() const;

private:
    void list_shares();
    void expanded(QTreeWidgetItem* item);
    void start(QTreeWidgetItem* item);
    void poll();
    void show_result(const NetworkListing::Result& result);
    bool log_on(const QString& place);
    void set_busy(bool busy);
    std::string path_of(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* add_folder(QTreeWidgetItem* parent, const std::string& name);

    QComboBox* host_ = nullptr;
    QPushButton* list_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QLabel* status_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    QTimer poll_;
    // The host whose shares the tree shows.
    std::string host_listed_;
    std::unique_ptr<NetworkListing> listing_;
    // What is being listed: an item, or null for the host's shares.
    QTreeWidgetItem* listing_item_ = nullptr;
};

}  // namespace tovan
