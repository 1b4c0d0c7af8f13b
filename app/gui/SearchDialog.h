#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <vector>

#include "app/Search.h"
#include "app/ViewsHistory.h"
#include "engine/catalog/Entry.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tovan {

class Application;
class DesktopServices;
class SearchResultModel;
class SearchWorker;

// Finds catalog entries by masks, size and marks in a group, a server or one
// folder. The search runs on a worker thread: results show in batches while it
// goes on, and Search turns into Stop until it ends. The five settings are
// remembered for the next dialog of the run.
class SearchDialog : public QDialog {
    Q_OBJECT
public:
    // How often the window takes the results found meanwhile.
    static constexpr int DrainMs = 25;

    // A folder scope searches that folder of the node's server; otherwise the
    // node (a group or a server) is the scope.
    SearchDialog(Application& application, DesktopServices& desktop,
                 SharedPtr<TreeEntry> scope_node, SharedPtr<Entry> scope_folder,
                 QWidget* parent = nullptr);
    ~SearchDialog() override;

    // The Search button: starts a search, or stops the one that runs.
    void search_or_stop();
    bool searching() const { return worker_ != nullptr; }
    SearchResultModel& results() { return *model_; }
    QTableView& view() { return *view_; }

    void done(int result) override;

signals:
    // "Select in tree" chose this folder; the dialog closes.
    void select_in_tree(const tovan::ViewsHistory::State& state);
    // "Mark as viewed" changed marks that the window shows.
    void marks_changed();

private:
    void build_form();
    Search search_from_form() const;
    void start_search();
    void stop_search();
    void take_results();
    void end_search(bool stopped);
    void show_count(bool running, bool stopped);
    void show_menu(const QPoint& at);

    Application& application_;
    DesktopServices& desktop_;
    const SharedPtr<TreeEntry> scope_node_;
    const SharedPtr<Entry> scope_folder_;
    QLineEdit* mask_ = nullptr;
    QLineEdit* min_size_ = nullptr;
    QCheckBox* only_online_ = nullptr;
    QCheckBox* only_changed_ = nullptr;
    QCheckBox* directories_ = nullptr;
    QPushButton* search_button_ = nullptr;
    QLabel* count_ = nullptr;
    QTableView* view_ = nullptr;
    SearchResultModel* model_ = nullptr;
    QTimer drain_;
    Search running_;  // the settings of the search the rows come from
    std::unique_ptr<SearchWorker> worker_;
};

}  // namespace tovan
