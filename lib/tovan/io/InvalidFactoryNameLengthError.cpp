#include "tovan/io/InvalidFactoryNameLengthError.h"

#include <cstdio>

namespace tovan::io {

std::size_t InvalidFactoryNameLengthError::format(char* buffer, std::size_t size) const {
    char own[64];
    std::snprintf(own, sizeof own, "Invalid factory name length (%u).", length_);
    return format_with(own, buffer, size);
}

}  // namespace tovan::io
