#include "tovan/io/InvalidFactoryIdError.h"

#include <cstdio>

namespace tovan::io {

std::size_t InvalidFactoryIdError::format(char* buffer, std::size_t size) const {
    char own[160];
    std::snprintf(own, sizeof own,
                  "Invalid factory id (%u) while loading object. There are %u factories loaded "
                  "at this time.",
                  id_, loaded_);
    return format_with(own, buffer, size);
}

}  // namespace tovan::io
