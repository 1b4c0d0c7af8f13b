#include "tovan/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

using std::ios_base;

// The system's message, and the file's name unless the line already has it.
std::string system_message(SystemErrorInfo error, const std::string& name) {
    error.set_context(name.empty() ? nullptr : name.c_str());
    char text[1024];
    error.format(text, sizeof text);
    return text;
}

}  // namespace

File::~File() {
    if (open_)
        close();
}

int File::open_flags(OpenMode mode) {
    const OpenMode checked = mode & ~(ios_base::ate | ios_base::binary);
    const OpenMode in = ios_base::in, out = ios_base::out;
    const OpenMode app = ios_base::app, trunc = ios_base::trunc;
    if (checked == in)
        return O_RDONLY;
    if (checked == out)
        return O_WRONLY | O_CREAT;
    if (checked == (out | app))
        return O_WRONLY | O_CREAT | O_APPEND;
    if (checked == (in | out))
        return O_RDWR | O_CREAT;
    if (checked == (out | trunc))
        return O_WRONLY | O_CREAT | O_TRUNC;
    if (checked == (in | out | trunc))
        return O_RDWR | O_CREAT | O_TRUNC;
    return -1;
}

bool File::open(const std::string& name, OpenMode mode) {
    if (open_)
        return false;
    const bool for_writing = (mode & ios_base::out) != 0;
    name_ = name;
    const int flags = open_flags(mode);
    if (flags < 0) {
        errno = EINVAL;
        fail("' open failed: ", !for_writing);
        return false;
    }
    do descriptor_ = ::open(name.c_str(), flags | O_CLOEXEC, static_cast<mode_t>(new_file_mode_));
    while (descriptor_ < 0 && errno == EINTR);
    if (descriptor_ < 0) {
        fail("' open failed: ", !for_writing);
        return false;
    }
    open_ = true;
    owns_descriptor_ = true;
    has_error_ = false;
    if ((mode & ios_base::ate) != 0 && seek(0, ios_base::end) < 0) {
        close();
        return false;
    }
    if (!quiet_)
        io::plain_log(5) << "'" << name_ << "' file opened." << std::endl;
    return true;
}

bool File::close() {
    if (!open_)
        return true;
    open_ = false;
    const int descriptor = descriptor_;
    descriptor_ = -1;
    // A failed close can be the first report of a write that never reached the
    // disk (a full disk on a network file system): it counts as a failed flush.
    if (owns_descriptor_ && ::close(descriptor) != 0 && errno != EINTR) {
        fail("flush failed: ");
        return false;
    }
    return true;
}

std::int64_t File::size() {
    struct stat status;
    if (!open_ || ::fstat(descriptor_, &status) != 0)
        return -1;
    return status.st_size;
}

bool File::flush() {
    if (!open_)
        return false;
    if (::fsync(descriptor_) == 0)
        return true;
    // Pipes, terminals and some special files cannot be synced; nothing is lost.
    if (errno == EINVAL || errno == EROFS)
        return true;
    fail("flush failed: ");
    return false;
}

std::int64_t File::read(void* buffer, std::size_t count) {
    if (!open_)
        return -1;
    for (;;) {
        const ssize_t got = ::read(descriptor_, buffer, count);
        if (got >= 0)
            return got;
        if (errno == EINTR)
            continue;
        fail("reading failed: ");
        return -1;
    }
}

bool File::write(const void* buffer, std::size_t count) {
    if (!open_)
        return false;
    const char* data = static_cast<const char*>(buffer);
    while (count > 0) {
        const ssize_t put = ::write(descriptor_, data, count);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            // write(2) returning 0 for a regular file means no room is left.
            if (put == 0)
                errno = ENOSPC;
            fail("writing failed: ");
            return false;
        }
        data += put;
        count -= static_cast<std::size_t>(put);
    }
    return true;
}

std::int64_t File::seek(std::int64_t offset, std::ios_base::seekdir origin) {
    if (!open_)
        return -1;
    const int whence = origin == ios_base::beg   ? SEEK_SET
                       : origin == ios_base::cur ? SEEK_CUR
                                                 : SEEK_END;
    const off_t position = ::lseek(descriptor_, offset, whence);
    if (position < 0) {
        error_ = SystemErrorInfo(static_cast<std::uint32_t>(errno));
        has_error_ = true;
    }
    return position;
}

const ErrorInfo* File::error_info() const {
    return has_error_ ? &error_ : nullptr;
}

void File::fail(const char* what, bool as_warning) {
    error_ = SystemErrorInfo(static_cast<std::uint32_t>(errno));
    has_error_ = true;
    if (quiet_)
        return;
    if (what[0] == '\'') {
        const LogStream& channel = as_warning ? io::warning_log : io::error_log;
        channel(1) << "'" << name_ << what << system_message(error_, {}) << std::endl;
    } else {
        io::error_log(1) << what << system_message(error_, name_) << std::endl;
    }
}

}  // namespace tovan
