#include "tovan/ErrorInfo.h"

#include <cstring>

namespace tovan {

std::size_t copy_truncated(const char* text, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0)
        return 0;
    std::size_t length = text != nullptr ? std::strlen(text) : 0;
    if (length > size - 1)
        length = size - 1;
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return length;
}

std::size_t ErrorInfo::format(char* buffer, std::size_t size) const {
    if (buffer == nullptr || size == 0)
        return 0;
    buffer[0] = '\0';
    std::size_t length = cause_ != nullptr ? cause_->format(buffer, size) : 0;
    if (context_ != nullptr && context_[0] != '\0') {
        const char* parts[] = {" ('", context_, "')"};
        for (const char* part : parts)
            length += copy_truncated(part, buffer + length, size - length);
    }
    return length;
}

std::size_t ErrorInfo::format_with(const char* own_text, char* buffer, std::size_t size) const {
    if (buffer == nullptr || size == 0)
        return 0;
    const std::size_t own = copy_truncated(own_text, buffer, size);
    return own + ErrorInfo::format(buffer + own, size - own);
}

}  // namespace tovan
