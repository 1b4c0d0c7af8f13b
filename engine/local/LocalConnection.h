#pragma once

#include "engine/connection/Connection.h"
#include "engine/local/FileLocalDownloader.h"
#include "engine/local/LocalFileFinder.h"

namespace tovan {

// Folders of this machine: nothing stays open; each finder opens its own folder.
class LocalConnection : public Connection {
public:
    SharedPtr<FileFinder> create_finder() override { return make_shared<LocalFileFinder>(); }
    SharedPtr<FileDownloader> create_downloader() override {
        return make_shared<FileLocalDownloader>();
    }
};

}  // namespace tovan
