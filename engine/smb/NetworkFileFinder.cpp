#include "engine/smb/NetworkFileFinder.h"

#include "engine/smb/SharesFinder.h"
#include "engine/smb/SmbFolderFinder.h"
#include "engine/smb/SmbPath.h"

namespace tovan {

// Decided by the path, not the name: a server typed as smb://host/ has the root
// name "/" and is still the host itself.
bool NetworkFileFinder::find_file(const Entry& folder) {
    inner_.reset();
    if (SmbPath::read(folder.full_path()).is_host()) {
        auto shares = make_shared<SharesFinder>(context_);
        inner_ = shares;
        const bool found = shares->find_file(folder);
        error_ = shares->error();
        return found;
    }
    auto folders = make_shared<SmbFolderFinder>(context_);
    inner_ = folders;
    const bool found = folders->find_file(folder);
    error_ = folders->error();
    return found;
}

bool NetworkFileFinder::find_next(SharedPtr<Entry>& item) {
    return inner_ && inner_->find_next(item);
}

}  // namespace tovan
