#pragma once

#include <cstdint>

#include "tovan/ErrorInfo.h"

namespace tovan::io {

// A factory reference by an id that the stream has not met.
class InvalidFactoryIdError : public ErrorInfo {
public:
    InvalidFactoryIdError(std::uint32_t id, std::uint32_t loaded) : id_(id), loaded_(loaded) {}

    std::size_t format(char* buffer, std::size_t size) const override;

private:
    std::uint32_t id_;
    std::uint32_t loaded_;
};

}  // namespace tovan::io
