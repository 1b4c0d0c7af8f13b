#include "app/FirstPlace.h"

#include "app/Document.h"
#include "app/UserFolders.h"
#include "engine/catalog/Server.h"
#include "tovan/Paths.h"

namespace tovan {

SharedPtr<TreeEntry> FirstPlace::add_if_none(Document& document) {
    const SharedPtr<TreeEntry> root = document.servers();
    const std::string folder = UserFolders::downloads();
    if (root->server_count() != 0 || folder.empty())
        return {};
    SharedPtr<Server> server = make_shared<Server>();
    if (!server->from_url(ends_in_separator(folder) ? folder : folder + "/"))
        return {};
    server->set_scan_depth(*server->root(), Depth);
    server->set_parent_filter(&document.filter());
    std::string name = last_path_part(server->location());
    if (name.empty())
        name = "/";
    // Groups may be there already; a server does not take a group's name.
    const std::string base = name;
    for (int number = 2;; ++number) {
        bool taken = false;
        for (const SharedPtr<TreeEntry>& child : root->children) taken |= child->label() == name;
        if (!taken)
            break;
        name = base + " " + std::to_string(number);
    }
    SharedPtr<TreeEntry> node = TreeEntry::make_server_node(server, name);
    root->children.push_back(node);
    return node;
}

}  // namespace tovan
