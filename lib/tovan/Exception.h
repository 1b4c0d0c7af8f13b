#pragma once

#include <cstddef>
#include <exception>
#include <string>

namespace tovan {

class ErrorInfo;

// The program's one exception type. The message lives inline, so raising or
// copying an exception allocates nothing.
class Exception : public std::exception {
public:
    static constexpr std::size_t MessageSize = 2048;

    Exception() noexcept { message_[0] = '\0'; }
    explicit Exception(const char* text) noexcept;
    explicit Exception(const std::string& text) noexcept;
    explicit Exception(const ErrorInfo& info) noexcept;

    // The message; an empty one is replaced by the name of the dynamic type.
    const char* what() const noexcept override;

protected:
    void set_message(const char* text, std::size_t length) noexcept;

private:
    mutable char message_[MessageSize];
};

}  // namespace tovan
