#pragma once

#include <dirent.h>

#include "engine/connection/FileFinder.h"

namespace tovan {

// Lists a folder of this machine. Symbolic links to folders are delivered as
// files of size 0 with the link's own time, so a scan never follows them into a
// loop; links to files carry their target's size and time.
class LocalFileFinder : public FileFinder {
public:
    LocalFileFinder() = default;
    ~LocalFileFinder() override;

    bool find_file(const Entry& folder) override;
    bool find_next(SharedPtr<Entry>& item) override;
    ReachFailure failure() const override;

private:
    void close_directory();
    SharedPtr<Entry> read_item();

    DIR* directory_ = nullptr;
    // One item read ahead, so find_next can tell whether more follow.
    SharedPtr<Entry> next_;
    int error_ = 0;  // errno of the last find_file that failed
};

}  // namespace tovan
