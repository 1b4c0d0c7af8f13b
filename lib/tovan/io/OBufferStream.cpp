#include "tovan/io/OBufferStream.h"

#include <utility>

namespace tovan::io {

OBufferStream::OBufferStream(std::uint32_t options, unsigned mask) {
    set_rdbuf(&buffer_);
    set_options(options);
    exceptions(mask);
    write_header_();
}

std::string OBufferStream::take() {
    std::string bytes = std::move(buffer_).str();
    buffer_.str({});
    return bytes;
}

}  // namespace tovan::io
