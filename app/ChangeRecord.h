#pragma once

#include "engine/catalog/Entry.h"
#include "engine/catalog/Server.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// A catalog entry a scan delivered, with the server and the tree node it came from.
struct ChangeRecord {
    SharedPtr<Server> server;
    SharedPtr<TreeEntry> node;
    SharedPtr<Entry> entry;
};

}  // namespace tovan
