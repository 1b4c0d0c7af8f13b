#include "engine/smb/SmbFolderFinder.h"

#include <cerrno>
#include <string_view>

#include "engine/smb/SmbErrorText.h"
#include "engine/smb/SmbPath.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

constexpr std::uint16_t DirectoryAttribute = 0x10;

bool is_dot_entry(std::string_view name) {
    return name == "." || name == "..";
}

SharedPtr<Entry> make_item(const libsmb_file_info& found) {
    const std::int64_t time = found.mtime_ts.tv_sec;
    if ((found.attrs & DirectoryAttribute) == 0)
        return Entry::create_file(found.name, found.size, time);
    return Entry::create_folder(found.name, time);
}

}  // namespace

SmbFolderFinder::~SmbFolderFinder() {
    close_listing();
}

void SmbFolderFinder::close_listing() {
    if (listing_ != nullptr)
        context_->close_folder(listing_);
    listing_ = nullptr;
    next_.reset();
}

bool SmbFolderFinder::find_file(const Entry& folder) {
    close_listing();
    const SmbPath place = SmbPath::read(folder.full_path());
    context_->use_login_of(place.host);
    listing_ = context_->open_folder(place.url());
    error_ = listing_ == nullptr ? errno : 0;
    if (listing_ == nullptr) {
        const int error = error_;
        plain_log(1) << "can't list " << place.url() << ": " << smb_error_line(error) << std::endl;
        return false;
    }
    next_ = read_item();
    return true;
}

bool SmbFolderFinder::find_next(SharedPtr<Entry>& item) {
    item = std::move(next_);
    next_ = read_item();
    return static_cast<bool>(next_);
}

SharedPtr<Entry> SmbFolderFinder::read_item() {
    if (listing_ == nullptr)
        return {};
    while (const libsmb_file_info* found = context_->read_item(listing_))
        if (!is_dot_entry(found->name))
            return make_item(*found);
    return {};
}

}  // namespace tovan
