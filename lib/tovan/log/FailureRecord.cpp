#include "tovan/log/FailureRecord.h"

#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

thread_local FailureRecord::Location last;

}  // namespace

void FailureRecord::write(const char* source, int line, const char* function,
                          const char* text) noexcept {
    last = Location{source, line, function};
    LogStream::Sentry record = exception_log();
    record << "\n    ";
    if (source != nullptr && source[0] != '\0')
        record << source << "(" << line << ") : ";
    if (function != nullptr && function[0] != '\0')
        record << function << " : ";
    record << "\n    " << (text != nullptr ? text : "") << std::endl;
}

FailureRecord::Location FailureRecord::last_location() noexcept {
    return last;
}

}  // namespace tovan
