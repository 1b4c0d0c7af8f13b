#include "engine/local/LocalFileFinder.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace tovan {
namespace {

bool is_dot_entry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

SharedPtr<Entry> make_item(int directory, const char* name) {
    struct stat info;
    if (::fstatat(directory, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return {};
    if (S_ISLNK(info.st_mode)) {
        struct stat target;
        if (::fstatat(directory, name, &target, 0) == 0 && !S_ISDIR(target.st_mode))
            return Entry::create_file(name, static_cast<std::uint64_t>(target.st_size),
                                      target.st_mtim.tv_sec);
        // A link to a folder, or one that leads nowhere.
        return Entry::create_file(name, 0, info.st_mtim.tv_sec);
    }
    if (S_ISDIR(info.st_mode)) {
        SharedPtr<Entry> folder = Entry::create_folder(name);
        folder->set_time(info.st_mtim.tv_sec);
        return folder;
    }
    return Entry::create_file(name, static_cast<std::uint64_t>(info.st_size), info.st_mtim.tv_sec);
}

}  // namespace

LocalFileFinder::~LocalFileFinder() {
    close_directory();
}

void LocalFileFinder::close_directory() {
    if (directory_ != nullptr)
        ::closedir(directory_);
    directory_ = nullptr;
    next_.reset();
}

bool LocalFileFinder::find_file(const Entry& folder) {
    close_directory();
    directory_ = ::opendir(folder.full_path().c_str());
    error_ = directory_ == nullptr ? errno : 0;
    if (directory_ == nullptr)
        return false;
    next_ = read_item();
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
    item = std::move(next_);
    next_ = read_item();
    return static_cast<bool>(next_);
}

// The next item of the folder, skipping "." and "..", and anything that vanished
// between being listed and being looked at.
SharedPtr<Entry> LocalFileFinder::read_item() {
    if (directory_ == nullptr)
        return {};
    while (const dirent* found = ::readdir(directory_)) {
        if (is_dot_entry(found->d_name))
            continue;
        SharedPtr<Entry> item = make_item(::dirfd(directory_), found->d_name);
        if (item)
            return item;
    }
    return {};
}

}  // namespace tovan
