#include "tovan/log/FailureRecord.h"

#include <cstring>

#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

thread_local std::source_location last;

// The source file as a path from the top of the source tree, so that logs do
// not carry the build machine's folders. A compiler cache may pass the sources
// relative to the build folder, which sits in the top of the tree.
const char* source_path(const std::source_location& location) noexcept {
    const char* path = location.file_name();
    const std::size_t root = std::strlen(FERROVANE_SOURCE_ROOT);
    if (std::strncmp(path, FERROVANE_SOURCE_ROOT, root) == 0)
        return path + root;
    while (std::strncmp(path, "../", 3) == 0) path += 3;
    return path;
}

}  // namespace

void FailureRecord::write(const char* text, std::source_location location) noexcept {
    last = location;
    LogStream::Sentry record = exception_log();
    record << "\n    ";
    const char* source = source_path(location);
    if (source[0] != '\0')
        record << source << "(" << location.line() << ") : ";
    if (location.function_name()[0] != '\0')
        record << location.function_name() << " : ";
    record << "\n    " << (text != nullptr ? text : "") << std::endl;
}

std::source_location FailureRecord::last_location() noexcept {
    return last;
}

}  // namespace tovan
