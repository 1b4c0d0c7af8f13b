#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/HolderConnection.h"

namespace tovan {

// The socket through which other processes of the same user reach the process
// that holds the data folder. Only the holder of the folder's lock makes it, so a
// socket file found there is left from a process that died, and is replaced. A
// thread of its own accepts connections, refuses peers of other users, reads
// each connection's one request line and queues it; the holder's own thread takes
// the requests when it gets round to them and answers on their connections.
class HolderSocket {
public:
    static constexpr const char* SocketName = "ferrovane.sock";

    struct Request {
        std::string line;
        std::shared_ptr<HolderConnection> connection;
    };

    // refusal: the line a peer of another user gets before it is dropped.
    explicit HolderSocket(std::string refusal);
    // Stops first.
    ~HolderSocket();
    HolderSocket(const HolderSocket&) = delete;
    HolderSocket& operator=(const HolderSocket&) = delete;

    // Listens in the data folder (whose path ends with "/"), for its owner only.
    // False when it cannot; error() then says why.
    bool start(const std::string& data_folder);
    // Ends the thread, drops what is queued and removes the socket file.
    void stop();

    // The requests that came since the last call, oldest first.
    std::vector<Request> take();
    bool has_requests() const;
    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& what);
    void run();
    void receive(int descriptor);

    std::string refusal_;
    std::string path_;
    std::string error_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    std::thread thread_;
    mutable std::mutex lock_;
    std::vector<Request> queued_;
};

}  // namespace tovan
