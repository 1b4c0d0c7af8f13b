#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>

namespace tovan {

// One connection over the socket of the process that holds the data folder, on
// either side: lines of text each way, and who the peer is as the kernel tells
// it (not as the peer says).
class HolderConnection {
public:
    explicit HolderConnection(int descriptor);
    ~HolderConnection();
    HolderConnection(const HolderConnection&) = delete;
    HolderConnection& operator=(const HolderConnection&) = delete;

    // Connects to the socket once it is sure that the socket and its folder belong
    // to the user, and once connected that the peer runs as that user: another
    // user's socket could take the command and its passwords. Null, with error
    // saying what is wrong and what to do, when any of it fails.
    static std::unique_ptr<HolderConnection> connect(const std::string& socket_path, uid_t user,
                                                     std::string& error);

    // False when the peer is gone, or did not take the line within the write
    // limit; from then on every line is dropped at once. Never raises SIGPIPE.
    bool send_line(const std::string& line);
    // The next line without its end; nothing at the end of the stream, on an error
    // or when the line grows past the limit.
    std::optional<std::string> read_line();
    // Gives up waiting for the peer after this long; 0 waits for ever.
    void set_read_limit(int seconds);
    // Gives up on a peer that stops reading after this long, so that the holder's
    // thread (the desktop program's interface) never waits on a stalled client.
    void set_write_limit(int seconds);

    uid_t peer_uid() const;
    pid_t peer_pid() const;

private:
    int descriptor_;
    std::string buffer_;
    bool broken_ = false;
};

}  // namespace tovan
