#pragma once

#include <string>

#include "app/Document.h"

namespace bench {

// Adds the server to the document's root group as a node of that name, marked
// online, under the document's filter; the caller stores the document.
tovan::SharedPtr<tovan::TreeEntry> add_server(tovan::Document& document,
                                              tovan::SharedPtr<tovan::Server> server,
                                              const std::string& name);
// A server "catalog" holding the million files of CatalogBuilder::million_files().
tovan::SharedPtr<tovan::TreeEntry> add_million_file_server(tovan::Document& document);

}  // namespace bench
