#pragma once

#include <ios>
#include <string>

#include "tovan/io/FStreamMixin.h"
#include "tovan/io/IStream.h"

namespace tovan::io {

// A binary input file. The program opens every file with the mask
// Stream::ProgramMask, so a missing file, a read error or a read past the end
// raises tovan::io::Failure naming the file.
class IFStream : public IStream, public FStreamMixin {
public:
    IFStream();
    IFStream(const std::string& path, std::ios_base::openmode mode = std::ios_base::in,
             unsigned mask = ProgramMask);
    ~IFStream() override;

    // Opens the file and reads its header; a file without one is read from its
    // first byte.
    void open(const std::string& path, std::ios_base::openmode mode = std::ios_base::in);
    void close();
};

}  // namespace tovan::io
