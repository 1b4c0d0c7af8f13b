#pragma once

#include "engine/Connection.h"
#include "engine/NetworkFileFinder.h"

namespace tovan {

class NetworkConnection : public Connection {
public:
    SharedPtr<FileFinder> create_finder() override { return make_shared<NetworkFileFinder>(); }
};

}  // namespace tovan
