#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/HolderSocket.h"
#include "cli/CommandLine.h"

namespace tovan {
class DataHolder;
}

namespace tovan::cli {

// Carries out, in the process that holds the data folder, the commands that other
// ferrovane-cli processes of the same user send over its socket: each on the
// holder's own thread, with the holder's live data, its output sent back line by
// line as the client would have printed it. A command that waits for the
// holder's scans stays on the list and goes on at each turn.
//
// The holder (watch; the desktop program on its timer) makes one after taking
// the data folder's lock, calls start(), then serve() on each turn of its loop,
// and shut_down() before it saves for the last time.
class CommandService {
public:
    explicit CommandService(DataHolder& holder);
    ~CommandService();
    CommandService(const CommandService&) = delete;
    CommandService& operator=(const CommandService&) = delete;

    // Listens at DATA/ferrovane.sock; false when it cannot, error() then says why.
    bool start();
    const std::string& error() const { return socket_.error(); }
    // Carries out the commands that came since the last turn, and goes on with
    // those that wait.
    void serve();
    // Whether a command came that serve() has not taken yet.
    bool has_requests() const { return socket_.has_requests(); }
    // Tells the clients of waiting commands that they end unfinished, and stops
    // listening.
    void shut_down();

private:
    struct Command {
        std::shared_ptr<HolderConnection> connection;
        std::ostringstream out;
        std::ostringstream err;
        std::unique_ptr<CommandLine> line;
        // What the holder's own stderr tells of it at its end.
        std::string description;
    };

    void begin(const HolderSocket::Request& request);
    // Sends what the command printed since the last call; a client that is gone
    // misses it.
    static void send_output(Command& command);
    void finish(Command& command, int status);

    DataHolder& holder_;
    HolderSocket socket_;
    std::vector<std::unique_ptr<Command>> waiting_;
};

}  // namespace tovan::cli
