#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tovan/SharedPtr.h"

namespace tovan {

class SmbContext;

// Lists the shares of a network host, or the folders in one of its shares, on a
// thread of its own: a host that does not answer takes seconds, and the window
// must stay responsive meanwhile. The window asks for the result on a timer; the
// thread touches nothing of the window.
class NetworkListing {
public:
    struct Result {
        std::vector<std::string> folders;  // shares, or folders; sorted
        int error = 0;                     // why it could not be listed (errno), else 0
    };

    // place: the host ("nas", "10.0.0.5:445") and the path below it, such as
    // "/share/dir"; an empty path lists the host's shares.
    NetworkListing(std::string host, std::string path);
    // Stops a listing under way; the host's time limit bounds the wait.
    ~NetworkListing();
    NetworkListing(const NetworkListing&) = delete;
    NetworkListing& operator=(const NetworkListing&) = delete;

    // The result once the listing has ended.
    std::optional<Result> take();

private:
    void list(const std::string& place);

    SharedPtr<SmbContext> context_;
    std::mutex lock_;
    std::optional<Result> result_;
    std::thread thread_;
};

}  // namespace tovan
