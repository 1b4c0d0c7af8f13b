#include "tovan/io/FStreamMixin.h"

#include "tovan/io/Stream.h"

namespace tovan::io {

bool FStreamMixin::open_file_(Stream& stream, const std::string& path,
                              std::ios_base::openmode mode) {
    if (buffer_.is_open())
        close_file_(stream);
    stream.clear();
    path_ = path;
    if (buffer_.open(path, mode | std::ios_base::binary))
        return true;
    stream.setstate(Stream::Fail);
    return false;
}

void FStreamMixin::close_file_(Stream& stream) {
    if (!buffer_.is_open())
        return;
    if (!buffer_.close())
        stream.setstate(Stream::Fail);
}

}  // namespace tovan::io
