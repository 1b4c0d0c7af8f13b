#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "app/ViewsHistory.h"

class QMenu;
class QTableView;
class QWidget;

namespace tovan {

class Application;
class DesktopServices;
class SearchResultModel;

// What the user can do with the selected results of a search: mark them viewed,
// open them or their folders, find them in the tree, copy them, download them.
class SearchResultActions {
public:
    struct Reactions {
        std::function<void(const ViewsHistory::State&)> select_in_tree;
        std::function<void()> marked;
    };

    SearchResultActions(Application& application, DesktopServices& desktop,
                        SearchResultModel& model, QTableView& view);

    // The context menu of the selection; "Mark as viewed" only when a selected
    // result has a mark.
    std::unique_ptr<QMenu> menu(QWidget* parent, const Reactions& reactions, bool changed_only);

    std::vector<int> selected_rows() const;
    bool any_marked() const;
    void mark_viewed();
    void open() const;
    void open_folders() const;
    // The folder of the current row's entry (the entry itself for a folder) as
    // the tree selects it; no node when the entry left the catalog meanwhile.
    ViewsHistory::State folder_state() const;
    void copy_url() const;
    void copy() const;
    // Asks for a folder, then starts one job per server of the selection.
    void download_to(QWidget* parent, bool changed_only);

private:
    int current_row() const;

    Application& application_;
    DesktopServices& desktop_;
    SearchResultModel& model_;
    QTableView& view_;
};

}  // namespace tovan
