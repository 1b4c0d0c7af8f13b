#include "tovan/log/LogStream.h"

#include "tovan/log/Log.h"
#include "tovan/log/LogFileBuf.h"

namespace tovan {

LogStream::Sentry LogStream::operator()(int verbosity) const noexcept {
    try {
        LogFileBuf* target = Log::target_for(*this, verbosity);
        if (target != nullptr)
            return Sentry(*target, *this, verbosity);
    } catch (...) {
    }
    return Sentry();
}

LogStream::Sentry::Sentry(LogFileBuf& target, const LogStream& channel, int verbosity)
    : target_(&target), guard_(target.lock()) {
    target.start_line(channel.name(), channel.level(), verbosity);
}

LogStream::Sentry::Sentry(Sentry&& other) noexcept
    : target_(other.target_), guard_(std::move(other.guard_)) {
    other.target_ = nullptr;
}

LogStream::Sentry::~Sentry() {
    if (target_ != nullptr)
        target_->end_statement();
}

std::ostream& LogStream::Sentry::stream() {
    return target_->stream();
}

LogStream::Sentry& LogStream::Sentry::operator<<(
    std::ostream& (*manipulator)(std::ostream&)) noexcept {
    if (target_ != nullptr) {
        try {
            manipulator(stream());
        } catch (...) {
        }
    }
    return *this;
}

}  // namespace tovan
