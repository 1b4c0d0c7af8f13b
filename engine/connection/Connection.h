#pragma once

#include <atomic>

#include "engine/connection/FileDownloader.h"
#include "engine/connection/FileFinder.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// Access to one server, of whatever kind; hands out finders that list folders.
class Connection {
public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    virtual ~Connection() = default;

    // Empty where the server cannot be listed.
    virtual SharedPtr<FileFinder> create_finder() = 0;
    // The downloader of the connection's kind, reused for every file of a job;
    // empty where the server has no files to fetch.
    virtual SharedPtr<FileDownloader> create_downloader() { return {}; }
    // May be called from another thread to make a blocked listing fail promptly.
    virtual void close() {}
    // Told by the thread that holds the connection when it has nothing to do for
    // now: what it keeps open for its next listings can go.
    virtual void idle() {}

    // Cleared by whoever is about to call close(), so it is closed only once.
    bool is_open() const { return open_.load(); }
    // True for the caller that found the connection open and closed it.
    bool close_once() {
        if (!open_.exchange(false))
            return false;
        close();
        return true;
    }

private:
    std::atomic<bool> open_{true};
};

}  // namespace tovan
