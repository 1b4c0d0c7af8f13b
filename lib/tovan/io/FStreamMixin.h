#pragma once

#include <ios>
#include <string>

#include "tovan/io/FileBuf.h"

namespace tovan::io {

class Stream;

// The part that both file streams share: the file buffer they own, its opening
// and closing.
class FStreamMixin {
public:
    bool is_open() const { return buffer_.is_open(); }
    const std::string& path() const { return path_; }

protected:
    FStreamMixin() = default;
    ~FStreamMixin() = default;

    FileBuf& owned_buffer_() { return buffer_; }

    // Opens the file (closing a previous one and clearing the state first); on a
    // failure the stream fails, raising under the program's mask.
    bool open_file_(Stream& stream, const std::string& path, std::ios_base::openmode mode);
    // Writes out and closes; a failure sets fail on the stream, raising under the
    // program's mask. Closing a stream that is not open does nothing.
    void close_file_(Stream& stream);

private:
    FileBuf buffer_;
    std::string path_;
};

}  // namespace tovan::io
