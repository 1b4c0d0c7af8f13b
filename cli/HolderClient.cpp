#include "cli/HolderClient.h"

#include <unistd.h>

#include <filesystem>

#include "app/HolderConnection.h"
#include "app/HolderSocket.h"
#include "cli/HeldElsewhere.h"
#include "cli/Output.h"

namespace tovan::cli {
namespace {

std::string holder_name(long pid) {
    return "the running Ferrovane" + (pid > 0 ? " (process " + std::to_string(pid) + ")" : "");
}

// What an unreadable or missing line means to the user.
int stopped(long pid) {
    Output::error(holder_name(pid) + " stopped before the command ended; run the command again");
    return 1;
}

int replies(HolderConnection& connection, long pid) {
    try {
        const std::optional<std::string> first = connection.read_line();
        if (!first)
            return stopped(pid);
        const nlohmann::json hello = nlohmann::json::parse(*first);
        if (hello.value("protocol", 0) != HolderProtocol::Version) {
            Output::error(HolderProtocol::version_mismatch(hello));
            return 1;
        }
        if (hello.contains("error")) {
            Output::error(hello.at("error").get<std::string>());
            return 1;
        }
        pid = hello.value("pid", pid);
        while (const std::optional<std::string> line = connection.read_line()) {
            const nlohmann::json reply = nlohmann::json::parse(*line);
            if (reply.contains("exit"))
                return reply.at("exit").get<int>();
            if (reply.contains("out"))
                Output::out() << reply.at("out").get<std::string>() << std::flush;
            if (reply.contains("err"))
                Output::err() << reply.at("err").get<std::string>() << std::flush;
        }
    } catch (const nlohmann::json::exception&) {
    }
    return stopped(pid);
}

}  // namespace

int HolderClient::forward(const HeldElsewhere& held, const HolderProtocol::Request& request) {
    const std::string path = held.data_folder() + HolderSocket::SocketName;
    std::error_code missing;
    // A holder that takes no commands (an older one) leaves no socket.
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, missing))) {
        Output::error(held.what());
        return 1;
    }
    std::string problem;
    const auto connection = HolderConnection::connect(path, ::getuid(), problem);
    if (!connection) {
        Output::error(std::string(held.what()) + "; " + problem);
        return 1;
    }
    if (!connection->send_line(HolderProtocol::request(request)))
        return stopped(held.holder());
    return replies(*connection, held.holder());
}

}  // namespace tovan::cli
