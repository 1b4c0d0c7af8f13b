#include "support/BenchServers.h"

#include "support/CatalogBuilder.h"

namespace bench {

using namespace tovan;

SharedPtr<TreeEntry> add_server(Document& document, SharedPtr<Server> server,
                                const std::string& name) {
    server->set_parent_filter(&document.filter());
    SharedPtr<TreeEntry> node = TreeEntry::make_server_node(std::move(server), name);
    node->online = true;
    document.servers()->children.push_back(node);
    return node;
}

SharedPtr<TreeEntry> add_million_file_server(Document& document) {
    SharedPtr<Server> server = make_shared<Server>();
    server->from_url("/srv/catalog/");
    CatalogBuilder(*server).million_files();
    return add_server(document, std::move(server), "catalog");
}

}  // namespace bench
