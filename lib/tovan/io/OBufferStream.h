#pragma once

#include <cstdint>
#include <sstream>
#include <string>

#include "tovan/io/OStream.h"

namespace tovan::io {

// A binary stream into memory: the bytes an OFStream would write to a file, the
// header included unless raw. For content that must be gathered under a lock and
// written out once the lock is released.
class OBufferStream : public OStream {
public:
    explicit OBufferStream(std::uint32_t options = Positions, unsigned mask = ProgramMask);

    // The bytes written so far; the stream is empty afterwards.
    std::string take();

private:
    std::stringbuf buffer_{std::ios_base::out};
};

}  // namespace tovan::io
