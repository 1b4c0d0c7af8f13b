#include "tovan/io/BasicFileBuf.h"

#include <cstring>

namespace tovan::io {

void BasicFileBuf::set_file(AbstractFile* file) {
    setg(nullptr, nullptr, nullptr);
    setp(nullptr, nullptr);
    file_ = file;
}

const char* BasicFileBuf::name() const {
    return file_ != nullptr ? file_->name().c_str() : "";
}

const ErrorInfo* BasicFileBuf::error_info() const {
    return file_ != nullptr ? file_->error_info() : nullptr;
}

char* BasicFileBuf::buffer() {
    if (buffer_ == nullptr)
        buffer_ = std::make_unique<char[]>(BufferSize);
    return buffer_.get();
}

std::int64_t BasicFileBuf::bytes_left() {
    if (file_ == nullptr || !file_->is_open())
        return -1;
    const std::int64_t size = file_->size();
    const std::int64_t position = file_->seek(0, std::ios_base::cur);
    if (size < 0 || position < 0)
        return -1;
    const std::int64_t left = size - position + (egptr() - gptr());
    return left > 0 ? left : 0;
}

bool BasicFileBuf::flush_to_disk() {
    return write_out() && file_ != nullptr && file_->flush();
}

bool BasicFileBuf::drop_read_area() {
    const std::int64_t unread = egptr() - gptr();
    setg(nullptr, nullptr, nullptr);
    return unread == 0 || file_->seek(-unread, std::ios_base::cur) >= 0;
}

bool BasicFileBuf::write_out() {
    const std::size_t pending = static_cast<std::size_t>(pptr() - pbase());
    setp(nullptr, nullptr);
    return pending == 0 || file_->write(buffer(), pending);
}

BasicFileBuf::int_type BasicFileBuf::underflow() {
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (file_ == nullptr || !write_out())
        return traits_type::eof();
    const std::int64_t got = file_->read(buffer(), BufferSize);
    if (got <= 0) {
        setg(nullptr, nullptr, nullptr);
        return traits_type::eof();
    }
    setg(buffer(), buffer(), buffer() + got);
    return traits_type::to_int_type(*gptr());
}

BasicFileBuf::int_type BasicFileBuf::overflow(int_type c) {
    if (file_ == nullptr || !drop_read_area() || !write_out())
        return traits_type::eof();
    setp(buffer(), buffer() + BufferSize);
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize BasicFileBuf::xsgetn(char* data, std::streamsize count) {
    std::streamsize done = 0;
    while (done < count) {
        std::streamsize ready = egptr() - gptr();
        if (ready == 0) {
            // Large reads go straight into the caller's memory.
            if (count - done >= static_cast<std::streamsize>(BufferSize) && file_ != nullptr &&
                write_out()) {
                const std::int64_t got =
                    file_->read(data + done, static_cast<std::size_t>(count - done));
                if (got <= 0)
                    break;
                done += got;
                continue;
            }
            if (traits_type::eq_int_type(underflow(), traits_type::eof()))
                break;
            ready = egptr() - gptr();
        }
        const std::streamsize part = std::min(ready, count - done);
        std::memcpy(data + done, gptr(), static_cast<std::size_t>(part));
        gbump(static_cast<int>(part));
        done += part;
    }
    return done;
}

std::streamsize BasicFileBuf::xsputn(const char* data, std::streamsize count) {
    std::streamsize done = 0;
    while (done < count) {
        if (pptr() == epptr() &&
            traits_type::eq_int_type(overflow(traits_type::eof()), traits_type::eof()))
            break;
        const std::streamsize part = std::min<std::streamsize>(epptr() - pptr(), count - done);
        std::memcpy(pptr(), data + done, static_cast<std::size_t>(part));
        pbump(static_cast<int>(part));
        done += part;
    }
    return done;
}

BasicFileBuf::pos_type BasicFileBuf::seekoff(off_type offset, std::ios_base::seekdir origin,
                                             std::ios_base::openmode) {
    if (file_ == nullptr || !file_->is_open())
        return pos_type(off_type(-1));
    if (origin == std::ios_base::cur)
        offset -= egptr() - gptr();
    setg(nullptr, nullptr, nullptr);
    if (!write_out())
        return pos_type(off_type(-1));
    return pos_type(off_type(file_->seek(offset, origin)));
}

BasicFileBuf::pos_type BasicFileBuf::seekpos(pos_type position, std::ios_base::openmode which) {
    return seekoff(off_type(position), std::ios_base::beg, which);
}

int BasicFileBuf::sync() {
    if (file_ == nullptr)
        return -1;
    return write_out() && drop_read_area() ? 0 : -1;
}

std::streamsize BasicFileBuf::showmanyc() {
    const std::int64_t left = bytes_left() - (egptr() - gptr());
    return left > 0 ? left : -1;
}

}  // namespace tovan::io
