#include "tovan/Exception.h"

#include <cxxabi.h>

#include <cstdlib>
#include <cstring>
#include <typeinfo>

#include "tovan/ErrorInfo.h"

namespace tovan {

Exception::Exception(const char* text) noexcept {
    set_message(text, text != nullptr ? std::strlen(text) : 0);
}

Exception::Exception(const std::string& text) noexcept {
    set_message(text.data(), text.size());
}

Exception::Exception(const ErrorInfo& info) noexcept {
    message_[0] = '\0';
    info.format(message_, MessageSize);
}

void Exception::set_message(const char* text, std::size_t length) noexcept {
    if (length > MessageSize - 1)
        length = MessageSize - 1;
    if (length > 0)
        std::memcpy(message_, text, length);
    message_[length] = '\0';
}

const char* Exception::what() const noexcept {
    if (message_[0] == '\0') {
        const char* mangled = typeid(*this).name();
        int status = 0;
        char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
        copy_truncated(status == 0 && demangled != nullptr ? demangled : mangled, message_,
                       MessageSize);
        std::free(demangled);
    }
    return message_;
}

}  // namespace tovan
