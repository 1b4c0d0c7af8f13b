#pragma once

#include "tovan/Exception.h"

namespace tovan {

// A server's answer that refuses one request (a folder that may not be entered)
// over a connection that stays usable: the scan keeps the connection and goes on
// with its next request, where any other failure drops the connection.
class ServerRefusal : public Exception {
public:
    using Exception::Exception;
};

}  // namespace tovan
