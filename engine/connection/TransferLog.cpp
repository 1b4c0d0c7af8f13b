#include "engine/connection/TransferLog.h"

#include <ctime>

namespace tovan {
namespace {

std::string local_time_stamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[16];
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);
    return stamp;
}

}  // namespace

void TransferLog::append_answer(std::string_view text) {
    if (text.size() < 2)
        return;
    const std::string stamp = local_time_stamp();
    std::lock_guard guard(lock_);
    if (buffer_.size() > Limit)
        buffer_.clear();
    buffer_ += stamp;
    buffer_ += '\n';
    buffer_ += text;
    buffer_ += '\n';
    // A blank line between answers, unless the answer brought its own.
    const bool ends_in_line = text.back() == '\n' || text[text.size() - 2] == '\r';
    if (!ends_in_line)
        buffer_ += '\n';
}

std::string TransferLog::text() const {
    std::lock_guard guard(lock_);
    return buffer_;
}

void TransferLog::clear() {
    std::lock_guard guard(lock_);
    buffer_.clear();
}

}  // namespace tovan
