#pragma once

#include <cstdint>

#include "tovan/ErrorInfo.h"

namespace tovan::io {

// A factory name whose stored length is out of range.
class InvalidFactoryNameLengthError : public ErrorInfo {
public:
    explicit InvalidFactoryNameLengthError(std::uint32_t length) : length_(length) {}

    std::size_t format(char* buffer, std::size_t size) const override;

private:
    std::uint32_t length_;
};

}  // namespace tovan::io
