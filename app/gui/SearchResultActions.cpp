#include "app/gui/SearchResultActions.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTableView>
#include <algorithm>

#include "app/Application.h"
#include "app/EntryDownload.h"
#include "app/gui/DesktopServices.h"
#include "app/gui/JobStarter.h"
#include "app/gui/SearchResultModel.h"
#include "app/gui/TreeDrag.h"
#include "engine/catalog/CatalogLock.h"
#include "engine/catalog/ChangeMarks.h"
#include "engine/catalog/Server.h"

namespace tovan {
namespace {

// The folder that holds the entry, as a shared pointer found from its parent's
// parent; empty when the entry has left the catalog.
SharedPtr<Entry> shared_parent(const Server& server, const Entry& entry) {
    const CatalogGuard guard(catalog_lock());
    const Entry* parent = entry.parent();
    if (parent == nullptr)
        return {};
    const Entry* grand = parent->parent();
    if (grand == nullptr)
        return parent == server.root().get() ? server.root() : SharedPtr<Entry>();
    SharedPtr<Entry> found = grand->find_child(parent->name());
    return found.get() == parent ? found : SharedPtr<Entry>();
}

}  // namespace

SearchResultActions::SearchResultActions(Application& application, DesktopServices& desktop,
                                         SearchResultModel& model, QTableView& view)
    : application_(application), desktop_(desktop), model_(model), view_(view) {}

std::unique_ptr<QMenu> SearchResultActions::menu(QWidget* parent, const Reactions& reactions,
                                                 bool changed_only) {
    auto menu = std::make_unique<QMenu>(parent);
    if (selected_rows().empty())
        return menu;
    if (any_marked()) {
        menu->addAction(QObject::tr("Mark as &viewed"), [this, reactions] {
            mark_viewed();
            reactions.marked();
        });
        menu->addSeparator();
    }
    menu->addAction(QObject::tr("&Open"), [this] { open(); });
    menu->addAction(QObject::tr("Open &folder"), [this] { open_folders(); });
    menu->addAction(QObject::tr("Select in &tree"),
                    [this, reactions] { reactions.select_in_tree(folder_state()); });
    menu->addAction(QObject::tr("Copy &URL"), [this] { copy_url(); });
    menu->addAction(QObject::tr("&Download To..."),
                    [this, parent, changed_only] { download_to(parent, changed_only); });
    menu->addAction(QObject::tr("&Copy"), [this] { copy(); });
    return menu;
}

std::vector<int> SearchResultActions::selected_rows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : view_.selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int SearchResultActions::current_row() const {
    const QModelIndex current = view_.currentIndex();
    if (current.isValid() && view_.selectionModel()->isRowSelected(current.row()))
        return current.row();
    const std::vector<int> rows = selected_rows();
    return rows.empty() ? -1 : rows.front();
}

bool SearchResultActions::any_marked() const {
    const std::vector<int> rows = selected_rows();
    return std::any_of(rows.begin(), rows.end(), [this](int row) {
        return model_.result(row).entry->state() != EntryState::Unchanged;
    });
}

void SearchResultActions::mark_viewed() {
    const std::vector<int> rows = selected_rows();
    for (int row : rows) ChangeMarks::set(*model_.result(row).entry, EntryState::Unchanged);
    if (!rows.empty())
        model_.refresh(rows.front(), rows.back());
}

void SearchResultActions::open() const {
    const int row = current_row();
    if (row < 0)
        return;
    const SharedPtr<TreeEntry>& node = model_.server_node(row);
    if (node->server)
        desktop_.open(node->server->url_with_scheme(model_.result(row).entry.get()));
}

void SearchResultActions::open_folders() const {
    std::vector<std::string> urls;
    for (int row : selected_rows()) {
        const SharedPtr<TreeEntry>& node = model_.server_node(row);
        const SharedPtr<Entry>& entry = model_.result(row).entry;
        if (!node->server)
            continue;
        const SharedPtr<Entry> folder =
            entry->is_folder() ? entry : shared_parent(*node->server, *entry);
        if (folder)
            urls.push_back(node->server->url_with_scheme(folder.get()));
    }
    std::sort(urls.begin(), urls.end());
    urls.erase(std::unique(urls.begin(), urls.end()), urls.end());
    for (const std::string& url : urls) desktop_.open(url);
}

ViewsHistory::State SearchResultActions::folder_state() const {
    const int row = current_row();
    if (row < 0)
        return {};
    const SharedPtr<TreeEntry>& node = model_.server_node(row);
    const SharedPtr<Entry>& entry = model_.result(row).entry;
    if (!node->server)
        return {};
    SharedPtr<Entry> folder = entry->is_folder() ? entry : shared_parent(*node->server, *entry);
    if (!folder)
        return {};
    return {node, std::move(folder), {}};
}

void SearchResultActions::copy_url() const {
    std::string text;
    for (int row : selected_rows()) {
        const SharedPtr<TreeEntry>& node = model_.server_node(row);
        if (node->server)
            text += (text.empty() ? "" : "\n") +
                    node->server->url_with_scheme(model_.result(row).entry.get());
    }
    if (!text.empty())
        desktop_.copy_text(text);
}

void SearchResultActions::copy() const {
    const int row = current_row();
    if (row < 0 || !model_.server_node(row)->server)
        return;
    const QUrl url =
        TreeDrag::url_of(*model_.server_node(row)->server, model_.result(row).entry.get());
    QGuiApplication::clipboard()->setMimeData(TreeDrag::mime_data(url, nullptr).release());
}

void SearchResultActions::download_to(QWidget* parent, bool changed_only) {
    std::vector<EntryDownload::Place> places;
    for (int row : selected_rows())
        places.push_back({model_.server_node(row)->server, model_.result(row).entry});
    JobStarter::download_to(application_, places, changed_only, parent);
}

}  // namespace tovan
