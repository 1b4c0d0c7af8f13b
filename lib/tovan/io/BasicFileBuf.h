#pragma once

#include <cstdint>
#include <memory>
#include <streambuf>

#include "tovan/AbstractFile.h"

namespace tovan::io {

// Buffered byte transport over a file. One buffer serves reading and writing:
// switching from one to the other writes out or gives back what it holds.
// It tells its stream the file's name and the reason of the file's last failure.
class BasicFileBuf : public std::streambuf {
public:
    static constexpr std::size_t BufferSize = 64 * 1024;

    explicit BasicFileBuf(AbstractFile* file = nullptr) : file_(file) {}
    ~BasicFileBuf() override = default;
    BasicFileBuf(const BasicFileBuf&) = delete;
    BasicFileBuf& operator=(const BasicFileBuf&) = delete;

    void set_file(AbstractFile* file);
    AbstractFile* file() const { return file_; }

    const char* name() const;
    const ErrorInfo* error_info() const;

    // The bytes between the read position and the end of the file, -1 when unknown.
    std::int64_t bytes_left();
    // Writes out the buffer and makes the file durable; false on a failure.
    bool flush_to_disk();

protected:
    int_type underflow() override;
    int_type overflow(int_type c) override;
    std::streamsize xsgetn(char* data, std::streamsize count) override;
    std::streamsize xsputn(const char* data, std::streamsize count) override;
    pos_type seekoff(off_type offset, std::ios_base::seekdir origin,
                     std::ios_base::openmode which) override;
    pos_type seekpos(pos_type position, std::ios_base::openmode which) override;
    int sync() override;
    std::streamsize showmanyc() override;

    // Gives back the unread part of the buffer and forgets it; false on a failure.
    bool drop_read_area();
    // Writes out the buffered bytes; false on a failure.
    bool write_out();

private:
    char* buffer();

    AbstractFile* file_;
    std::unique_ptr<char[]> buffer_;
};

}  // namespace tovan::io
