#include "tovan/io/Stream.h"

#include "tovan/io/BasicFileBuf.h"
#include "tovan/io/Failure.h"
#include "tovan/log/FailureRecord.h"

namespace tovan::io {

void Stream::set_rdbuf(std::streambuf* buffer) {
    buffer_ = buffer;
    file_buffer_ = dynamic_cast<BasicFileBuf*>(buffer);
}

void Stream::clear(unsigned state, ErrorInfo* info) {
    state_ = buffer_ != nullptr ? state : state | Bad;
    if ((state_ & mask_) != 0)
        throw_failure_(info);
}

void Stream::exceptions(unsigned mask) {
    mask_ = mask;
    clear(state_);
}

const char* Stream::buffer_name() const {
    return file_buffer_ != nullptr ? file_buffer_->name() : "";
}

const ErrorInfo* Stream::buffer_error() const {
    return file_buffer_ != nullptr ? file_buffer_->error_info() : nullptr;
}

void Stream::throw_failure_(ErrorInfo* info) const {
    Error own(*this);
    if (info == nullptr)
        info = &own;
    if (info->context() == nullptr || info->context()[0] == '\0') {
        const char* name = buffer_name();
        if (name[0] != '\0')
            info->set_context(name);
    }
    Failure failure(*info);
    FailureRecord::write(failure.what());
    throw failure;
}

std::size_t Stream::Error::format(char* buffer, std::size_t size) const {
    if (buffer == nullptr || size == 0)
        return 0;
    buffer[0] = '\0';
    const ErrorInfo* reported = stream_.buffer_error();
    const std::size_t own = reported != nullptr ? reported->format(buffer, size) : 0;
    return own + ErrorInfo::format(buffer + own, size - own);
}

}  // namespace tovan::io
