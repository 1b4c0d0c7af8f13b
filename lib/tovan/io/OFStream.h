#pragma once

#include <ios>
#include <string>

#include "tovan/io/FStreamMixin.h"
#include "tovan/io/OStream.h"

namespace tovan::io {

// A binary output file that starts with the stream header. A short write, a
// failed flush or a failed close (a full disk) raises under the program's mask,
// so that a caller never replaces a good file with a half-written one.
class OFStream : public OStream, public FStreamMixin {
public:
    OFStream();
    OFStream(const std::string& path,
             std::ios_base::openmode mode = std::ios_base::out | std::ios_base::trunc,
             unsigned mask = ProgramMask);
    // Closes without raising; a caller that must know whether the data reached the
    // file calls close() or close_durably() first.
    ~OFStream() override;

    void open(const std::string& path,
              std::ios_base::openmode mode = std::ios_base::out | std::ios_base::trunc);
    // Writes out what is buffered and closes.
    void close();
    // Writes out, waits until the data is on the disk (fsync), then closes: for a
    // file that is about to replace another by a rename.
    void close_durably();
};

}  // namespace tovan::io
