#include "engine/local/LocalFileFinder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "tovan/Exception.h"

namespace tovan {
namespace {

bool is_dot_entry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// False when the item vanished between being listed and being looked at.
bool look_at(int directory, const char* name, LocalFileFinder::Found& found) {
    struct stat info;
    if (::fstatat(directory, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    found.name = name;
    found.folder = false;
    found.size = static_cast<std::uint64_t>(info.st_size);
    found.time = info.st_mtim.tv_sec;
    if (S_ISLNK(info.st_mode)) {
        struct stat target;
        const bool to_file =
            ::fstatat(directory, name, &target, 0) == 0 && !S_ISDIR(target.st_mode);
        // A link to a folder, or one that leads nowhere, is a file of size 0.
        found.size = to_file ? static_cast<std::uint64_t>(target.st_size) : 0;
        if (to_file)
            found.time = target.st_mtim.tv_sec;
    } else if (S_ISDIR(info.st_mode)) {
        found.folder = true;
        found.size = 0;
    }
    return true;
}

// Buffers the thread's finders are done with, for its next ones: allocating
// 32 KiB for every folder cost as much as listing a small one.
thread_local std::vector<std::unique_ptr<char[]>> spare_buffers;
constexpr std::size_t KeptBuffers = 4;

}  // namespace

LocalFileFinder::~LocalFileFinder() {
    close_directory();
    if (buffer_ && spare_buffers.size() < KeptBuffers)
        spare_buffers.push_back(std::move(buffer_));
}

void LocalFileFinder::close_directory() {
    if (directory_ >= 0 && folders_ && read_whole_ && has_subfolders_)
        folders_->keep(std::move(path_), directory_);  // the next folder names its own
    else if (directory_ >= 0)
        ::close(directory_);
    directory_ = -1;
    filled_ = offset_ = 0;
    has_next_ = read_whole_ = has_subfolders_ = false;
}

// Read with getdents64 into a buffer of the finder's own: opendir would also
// ask for the folder's block size and allocate a buffer for every folder.
bool LocalFileFinder::find_file(const Entry& folder) {
    close_directory();
    known_ = &folder;
    path_ = folder.full_path();
    directory_ = folders_ ? folders_->open(path_)
                          : ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    error_ = directory_ < 0 ? errno : 0;
    if (directory_ < 0)
        return false;
    if (!buffer_ && !spare_buffers.empty()) {
        buffer_ = std::move(spare_buffers.back());
        spare_buffers.pop_back();
    } else if (!buffer_) {
        buffer_ = std::make_unique_for_overwrite<char[]>(BufferSize);
    }
    has_next_ = read_item();
    return true;
}

ReachFailure LocalFileFinder::failure() const {
    using Kind = ReachFailure::Kind;
    switch (error_) {
        case 0:
            return {};
        case EACCES:
        case EPERM:
            return ReachFailure(Kind::AccessDenied);
        case ENOENT:
        case ENOTDIR:
            return ReachFailure(Kind::Missing);
        default:
            return ReachFailure(Kind::Other, {}, {}, std::strerror(error_));
    }
}

bool LocalFileFinder::find_next(SharedPtr<Entry>& item) {
    Listing one;
    const bool more = list_next(one);
    item = one.empty() ? SharedPtr<Entry>() : one.make_entry(0);
    return more;
}

// The item read ahead goes into the listing before the next read may refill the
// buffer its name is in.
bool LocalFileFinder::list_next(Listing& listing) {
    if (has_next_)
        listing.add(next_.name, next_.folder, next_.size, next_.time);
    has_next_ = read_item();
    return has_next_;
}

// Reads the folder's next item into next_, skipping "." and "..", and anything
// that vanished between being listed and being looked at; false at the end.
bool LocalFileFinder::read_item() {
    while (directory_ >= 0) {
        if (offset_ == filled_ && !read_names())
            return false;
        const auto* found = reinterpret_cast<const dirent64*>(buffer_.get() + offset_);
        offset_ += found->d_reclen;
        if (!is_dot_entry(found->d_name) && (take_known_folder(found->d_name, found->d_type) ||
                                             look_at(directory_, found->d_name, next_))) {
            has_subfolders_ = has_subfolders_ || next_.folder;
            return true;
        }
    }
    return false;
}

// Looking at an item is most of a scan's time. A folder that the catalog holds
// needs no look: the name's record says it is a folder (a link is a link), and a
// rescan keeps a known folder as it is, time and all.
bool LocalFileFinder::take_known_folder(const char* name, unsigned char type) {
    if (type != DT_DIR || known_ == nullptr)
        return false;
    const std::optional<std::int64_t> time = known_->child_folder_time(name);
    if (!time)
        return false;
    next_ = {name, true, 0, *time};
    return true;
}

// A folder that fails half-read is no listing: the items not yet read would
// look deleted.
bool LocalFileFinder::read_names() {
    const ssize_t got = ::getdents64(directory_, buffer_.get(), BufferSize);
    if (got < 0) {
        const int error = errno;
        const std::string text = "can't read the folder " + path_ + ": " + std::strerror(error) +
                                 "; check the disk, then scan again";
        close_directory();
        throw Exception(text);
    }
    offset_ = 0;
    filled_ = static_cast<std::size_t>(got);
    read_whole_ = got == 0;
    return got > 0;
}

}  // namespace tovan
