#pragma once

#include <cstddef>

namespace tovan {

// A piece of an error message. Pieces nest through their cause and are formatted
// into a caller's buffer, so an exception can be built from objects on the stack
// without allocating.
class ErrorInfo {
public:
    ErrorInfo() = default;
    virtual ~ErrorInfo() = default;

    // Writes the text into buffer (at most size bytes, NUL included) and returns
    // the number of characters written.
    virtual std::size_t format(char* buffer, std::size_t size) const;

    // A name that places the error, such as a file name; shown in parentheses.
    void set_context(const char* context) { context_ = context; }
    // A nested error whose text comes first.
    void set_cause(const ErrorInfo* cause) { cause_ = cause; }

    const char* context() const { return context_; }
    const ErrorInfo* cause() const { return cause_; }

protected:
    // The pattern every subclass follows: its own text, then the base part.
    std::size_t format_with(const char* own_text, char* buffer, std::size_t size) const;

private:
    const char* context_ = nullptr;
    const ErrorInfo* cause_ = nullptr;
};

// Copies at most size - 1 characters of text and terminates; returns the count.
std::size_t copy_truncated(const char* text, char* buffer, std::size_t size);

}  // namespace tovan
