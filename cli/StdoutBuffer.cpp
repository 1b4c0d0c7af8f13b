#include "cli/StdoutBuffer.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "cli/CliError.h"
#include "cli/Output.h"

namespace tovan::cli {

StdoutBuffer::StdoutBuffer() : previous_(std::cout.rdbuf(this)) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

StdoutBuffer::~StdoutBuffer() {
    drain();
    std::cout.rdbuf(previous_);
}

int StdoutBuffer::finish(int status) {
    std::cout.flush();
    if (error_ == 0)
        return status;
    if (error_ != EPIPE)
        Output::error(std::string("can't write the output: ") + std::strerror(error_));
    return status == 0 ? CliError::Failure : status;
}

StdoutBuffer::int_type StdoutBuffer::overflow(int_type c) {
    if (!drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int StdoutBuffer::sync() {
    return drain() ? 0 : -1;
}

// After the first error nothing more is written: the output is broken already.
bool StdoutBuffer::drain() {
    const char* at = pbase();
    while (error_ == 0 && at < pptr()) {
        const ssize_t written = ::write(STDOUT_FILENO, at, static_cast<std::size_t>(pptr() - at));
        if (written >= 0)
            at += written;
        else if (errno != EINTR)
            error_ = errno;
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ == 0;
}

}  // namespace tovan::cli
