#pragma once

#include "tovan/File.h"
#include "tovan/io/BasicFileBuf.h"

namespace tovan::io {

// A file buffer that owns its file.
class FileBuf : public BasicFileBuf {
public:
    FileBuf() : BasicFileBuf(&own_file_) {}
    ~FileBuf() override;

    bool open(const std::string& name, std::ios_base::openmode mode);
    // Writes out the buffer and closes the file; false when either failed, which
    // for a file being written means data may be lost.
    bool close();
    bool is_open() const { return own_file_.is_open(); }

private:
    File own_file_;
};

}  // namespace tovan::io
