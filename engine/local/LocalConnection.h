#pragma once

#include "engine/connection/Connection.h"
#include "engine/local/FileLocalDownloader.h"
#include "engine/local/LocalFileFinder.h"

namespace tovan {

// Folders of this machine. Each finder opens its own folder; the folders above
// it that the connection's thread listed last stay open until the thread has
// nothing to do.
class LocalConnection : public Connection {
public:
    SharedPtr<FileFinder> create_finder() override {
        return make_shared<LocalFileFinder>(folders_);
    }
    SharedPtr<FileDownloader> create_downloader() override {
        return make_shared<FileLocalDownloader>();
    }
    void idle() override { folders_->close_all(); }

private:
    const SharedPtr<OpenFolders> folders_ = make_shared<OpenFolders>();
};

}  // namespace tovan
