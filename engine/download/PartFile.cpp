#include "engine/download/PartFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <source_location>
#include <system_error>

#include "engine/download/DestinationName.h"
#include "tovan/Exception.h"
#include "tovan/log/FailureRecord.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

constexpr unsigned MostNumbers = 9999;

// 0, or the errno of a failed move; never replaces a file that is there.
int move_unless_taken(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    // A file system without that flag: a hard link fails as well on a taken name.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (errno != EPERM && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    // Nor hard links (FAT through FUSE): look, then move, which leaves only an
    // instant for a file to appear between the two.
    struct stat info;
    if (::lstat(to.c_str(), &info) == 0)
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

[[noreturn]] void fail(const std::string& text,
                       std::source_location location = std::source_location::current()) {
    error_log(1) << text << std::endl;
    FailureRecord::write(text.c_str(), location);
    throw Exception(text);
}

}  // namespace

std::string PartFile::settle(const std::string& part, const std::string& wanted) {
    std::string name = wanted;
    for (unsigned n = 1;; ++n) {
        const int error = move_unless_taken(part, name);
        if (error == 0)
            return name;
        if (error != EEXIST || n > MostNumbers)
            fail("can't move " + part + " to " + name + ": " +
                 std::system_category().message(error));
        name = DestinationName::numbered(wanted, n);
    }
}

bool PartFile::adopt(const std::string& destination, std::uint64_t counted,
                     const std::string& part) {
    struct stat info;
    if (counted == 0 || ::stat(destination.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uint64_t>(info.st_size) != counted)
        return false;
    return move_unless_taken(destination, part) == 0;
}

}  // namespace tovan
