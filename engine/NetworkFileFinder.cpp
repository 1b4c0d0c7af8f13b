#include "engine/NetworkFileFinder.h"

namespace tovan {
namespace {

// Share enumeration and listings inside shares need an SMB client; without one a
// network host cannot be listed and counts as offline.
SharedPtr<FileFinder> make_shares_finder() { return {}; }
SharedPtr<FileFinder> make_share_folder_finder() { return {}; }

}  // namespace

bool NetworkFileFinder::find_file(const Entry& folder) {
    inner_ = folder.name().empty() ? make_shares_finder() : make_share_folder_finder();
    return inner_ && inner_->find_file(folder);
}

bool NetworkFileFinder::find_next(SharedPtr<Entry>& item) {
    return inner_ && inner_->find_next(item);
}

}  // namespace tovan
