#include "tovan/SystemErrorInfo.h"

#include <cerrno>
#include <string>
#include <system_error>

namespace tovan {

SystemErrorInfo::SystemErrorInfo(std::uint32_t code)
    : code_(code != 0 ? code : static_cast<std::uint32_t>(errno)) {}

std::size_t SystemErrorInfo::format(char* buffer, std::size_t size) const {
    std::string text = std::system_category().message(static_cast<int>(code_));
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return format_with(text.c_str(), buffer, size);
}

}  // namespace tovan
