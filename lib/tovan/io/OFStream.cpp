#include "tovan/io/OFStream.h"

namespace tovan::io {

OFStream::OFStream() {
    set_rdbuf(&owned_buffer_());
}

OFStream::OFStream(const std::string& path, std::ios_base::openmode mode, unsigned mask)
    : OFStream() {
    exceptions(mask);
    open(path, mode);
}

OFStream::~OFStream() {
    try {
        close();
    } catch (...) {
        // Already logged as a failure record; a destructor must not raise.
    }
}

void OFStream::open(const std::string& path, std::ios_base::openmode mode) {
    if (open_file_(*this, path, mode | std::ios_base::out))
        write_header_();
}

void OFStream::close() {
    close_file_(*this);
}

void OFStream::close_durably() {
    if (!is_open())
        return;
    if (!owned_buffer_().flush_to_disk()) {
        setstate(Fail);
        return;
    }
    close();
}

}  // namespace tovan::io
