#pragma once

#include "engine/FileFinder.h"

namespace tovan {

// Lists a network host: its shares where the folder is the host itself (a
// root without a name), else a folder inside one of its shares.
class NetworkFileFinder : public FileFinder {
public:
    bool find_file(const Entry& folder) override;
    bool find_next(SharedPtr<Entry>& item) override;

private:
    SharedPtr<FileFinder> inner_;
};

}  // namespace tovan
