#pragma once

#include "engine/connection/Connection.h"
#include "engine/local/FileLocalDownloader.h"
#include "engine/smb/NetworkFileFinder.h"
#include "engine/smb/SmbContext.h"

namespace tovan {

// A connection to a network host: one SMB client context, which keeps the
// sessions to the host open between listings and is used by one thread only.
class NetworkConnection : public Connection {
public:
    NetworkConnection() : context_(make_shared<SmbContext>()) {}

    SharedPtr<FileFinder> create_finder() override {
        return make_shared<NetworkFileFinder>(context_);
    }
    // Reads files of the host's shares through the same context.
    SharedPtr<FileDownloader> create_downloader() override {
        return make_shared<FileLocalDownloader>(context_);
    }
    // Called from another thread to stop: the context itself stays with the
    // thread that uses it, so only later listings fail at once.
    void close() override { context_->cancel(); }

private:
    SharedPtr<SmbContext> context_;
};

}  // namespace tovan
