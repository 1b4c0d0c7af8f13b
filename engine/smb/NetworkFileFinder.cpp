#include "engine/smb/NetworkFileFinder.h"

#include <cctype>

#include "engine/smb/SharesFinder.h"
#include "engine/smb/SmbErrorText.h"
#include "engine/smb/SmbFolderFinder.h"
#include "engine/smb/SmbPath.h"

namespace tovan {

// Decided by the path, not the name: a server typed as smb://host/ has the root
// name "/" and is still the host itself.
bool NetworkFileFinder::find_file(const Entry& folder) {
    inner_.reset();
    const SmbPath place = SmbPath::read(folder.full_path());
    host_ = place.host;
    if (place.is_host()) {
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

// libsmbclient says ENOENT for a name it cannot resolve as for a missing share;
// the resolver tells them apart.
ReachFailure NetworkFileFinder::failure() const {
    ReachFailure failure(smb_failure_kind(error_));
    const bool numeric = !host_.empty() && std::isdigit(static_cast<unsigned char>(host_[0]));
    if (failure.kind != ReachFailure::Kind::None &&
        failure.kind != ReachFailure::Kind::LoginRefused && !numeric &&
        SharesFinder::look_up(host_).empty())
        failure.kind = ReachFailure::Kind::UnknownName;
    if (failure.kind == ReachFailure::Kind::Other)
        failure.detail = smb_error_line(error_);
    return failure;
}

bool NetworkFileFinder::find_next(SharedPtr<Entry>& item) {
    return inner_ && inner_->find_next(item);
}

}  // namespace tovan
