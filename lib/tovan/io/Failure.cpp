#include "tovan/io/Failure.h"

namespace tovan::io {

Failure::Failure(const char* text) noexcept
    : Exception(text != nullptr && text[0] != '\0' ? text : "i/o error") {}

}  // namespace tovan::io
