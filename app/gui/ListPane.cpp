#include "app/gui/ListPane.h"

#include "engine/catalog/PasswordMask.h"
#include "engine/catalog/Server.h"

namespace tovan {

ListPane::ListPane(QWidget* parent) : QListWidget(parent) {
    setObjectName("list");
    setUniformItemSizes(true);
}

void ListPane::show_state(const ViewsHistory::State& state) {
    shown_ = state;
    clear();
    const SharedPtr<TreeEntry>& node = state.node;
    if (!node)
        return;
    if (node->kind == TreeEntry::ServerNode && node->server) {
        addItem(QString::fromStdString(masked_passwords(node->server->url_with_scheme())));
        addItem(node->online ? tr("online") : tr("offline"));
        return;
    }
    for (const SharedPtr<TreeEntry>& child : node->children)
        addItem(QString::fromStdString(masked_passwords(child->label())));
}

void ListPane::node_updated(const SharedPtr<TreeEntry>& node) {
    if (node == shown_.node)
        show_state(shown_);
}

}  // namespace tovan
