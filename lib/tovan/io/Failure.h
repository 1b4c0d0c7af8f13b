#pragma once

#include "tovan/Exception.h"

namespace tovan::io {

// Raised by streams and files.
class Failure : public Exception {
public:
    explicit Failure(const char* text) noexcept;
    explicit Failure(const std::string& text) noexcept : Failure(text.c_str()) {}
    explicit Failure(const ErrorInfo& info) noexcept : Exception(info) {}
};

}  // namespace tovan::io
