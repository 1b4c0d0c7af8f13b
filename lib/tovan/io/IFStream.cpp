#include "tovan/io/IFStream.h"

namespace tovan::io {

IFStream::IFStream() {
    set_rdbuf(&owned_buffer_());
}

IFStream::IFStream(const std::string& path, std::ios_base::openmode mode, unsigned mask)
    : IFStream() {
    exceptions(mask);
    open(path, mode);
}

IFStream::~IFStream() {
    try {
        close();
    } catch (...) {
        // Nothing of the file is lost when reading; a failed close is logged.
    }
}

void IFStream::open(const std::string& path, std::ios_base::openmode mode) {
    if (open_file_(*this, path, mode | std::ios_base::in))
        read_header_();
}

void IFStream::close() {
    close_file_(*this);
}

}  // namespace tovan::io
