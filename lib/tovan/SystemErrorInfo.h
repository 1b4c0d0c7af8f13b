#pragma once

#include <cstdint>

#include "tovan/ErrorInfo.h"

namespace tovan {

// The operating system's message for an error code. Code 0 stands for the
// calling thread's errno at construction, before later calls can change it.
class SystemErrorInfo : public ErrorInfo {
public:
    explicit SystemErrorInfo(std::uint32_t code = 0);

    std::uint32_t code() const { return code_; }
    std::size_t format(char* buffer, std::size_t size) const override;

private:
    std::uint32_t code_;
};

}  // namespace tovan
