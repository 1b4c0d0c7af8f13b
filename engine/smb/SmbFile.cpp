#include "engine/smb/SmbFile.h"

#include <cerrno>
#include <cstdio>

#include "engine/smb/SmbContext.h"
#include "engine/smb/SmbPath.h"

namespace tovan {
namespace {

std::string url_of(const std::string& name, SmbContext& context) {
    const SmbPath place = SmbPath::read(name);
    context.use_login_of(place.host);
    return place.file_url();
}

}  // namespace

SmbFile::~SmbFile() {
    close();
}

bool SmbFile::open(const std::string& name, OpenMode mode) {
    close();
    name_ = name;
    if ((mode & std::ios_base::out) != 0) {
        errno = EROFS;
        return fail() == 0;
    }
    file_ = context_->open_file(url_of(name, *context_));
    if (file_ == nullptr)
        fail();
    return file_ != nullptr;
}

bool SmbFile::close() {
    if (file_ == nullptr)
        return false;
    context_->close_file(file_);
    file_ = nullptr;
    return true;
}

std::int64_t SmbFile::size() {
    if (file_ == nullptr)
        return -1;
    const std::int64_t size = context_->file_size(file_);
    return size < 0 ? fail() : size;
}

std::int64_t SmbFile::read(void* buffer, std::size_t count) {
    if (file_ == nullptr)
        return -1;
    const ssize_t got = context_->read_file(file_, buffer, count);
    return got < 0 ? fail() : static_cast<std::int64_t>(got);
}

std::int64_t SmbFile::seek(std::int64_t offset, std::ios_base::seekdir origin) {
    if (file_ == nullptr)
        return -1;
    const int whence = origin == std::ios_base::beg   ? SEEK_SET
                       : origin == std::ios_base::cur ? SEEK_CUR
                                                      : SEEK_END;
    const off_t position = context_->seek_file(file_, static_cast<off_t>(offset), whence);
    return position < 0 ? fail() : static_cast<std::int64_t>(position);
}

bool SmbFile::exists(SmbContext& context, const std::string& name) {
    return context.exists(url_of(name, context));
}

std::int64_t SmbFile::fail() {
    error_ = SystemErrorInfo(errno);
    has_error_ = true;
    return -1;
}

}  // namespace tovan
