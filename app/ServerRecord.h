#pragma once

#include "engine/catalog/Server.h"
#include "tovan/SharedPtr.h"
#include "tovan/io/IStream.h"
#include "tovan/io/OStream.h"

namespace tovan {

// A server's settings as the data files keep them: kind and the kind's fields,
// location, change filter, connections limit, delay and catalog name. FTP
// passwords are kept in plain text, as every earlier version of the file did;
// the files are readable by their owner only.
class ServerRecord {
public:
    static constexpr std::uint8_t Version = 2;

    static void write(io::OStream& out, const Server& server);
    // A new server with the settings read; its root follows them.
    static SharedPtr<Server> read(io::IStream& in);
};

}  // namespace tovan
