#include "tovan/io/FileBuf.h"

namespace tovan::io {

FileBuf::~FileBuf() {
    close();
}

bool FileBuf::open(const std::string& name, std::ios_base::openmode mode) {
    if (own_file_.is_open())
        return false;
    set_file(&own_file_);
    return own_file_.open(name, mode);
}

bool FileBuf::close() {
    if (!own_file_.is_open())
        return true;
    const bool written = write_out();
    setg(nullptr, nullptr, nullptr);
    const bool closed = own_file_.close();
    return written && closed;
}

}  // namespace tovan::io
