#pragma once

#include <cstddef>
#include <cstdint>
#include <ios>
#include <string>

namespace tovan {

class ErrorInfo;

// A file that the stream buffers read and write. Operations report failure by
// their result and keep the reason for error_info().
class AbstractFile {
public:
    using OpenMode = std::ios_base::openmode;

    virtual ~AbstractFile() = default;

    virtual bool open(const std::string& name, OpenMode mode) = 0;
    virtual bool close() = 0;
    // The size in bytes, -1 when it cannot be found.
    virtual std::int64_t size() = 0;
    // Makes what was written durable: it reaches the disk before this returns.
    virtual bool flush() = 0;
    // The bytes read: count, fewer at the end, 0 at the end, -1 on an error.
    virtual std::int64_t read(void* buffer, std::size_t count) = 0;
    // Writes all count bytes or fails.
    virtual bool write(const void* buffer, std::size_t count) = 0;
    // The new position, -1 on an error.
    virtual std::int64_t seek(std::int64_t offset, std::ios_base::seekdir origin) = 0;
    // The reason of the last failure, null when nothing failed.
    virtual const ErrorInfo* error_info() const = 0;
    virtual const std::string& name() const = 0;
    virtual bool is_open() const = 0;
};

}  // namespace tovan
