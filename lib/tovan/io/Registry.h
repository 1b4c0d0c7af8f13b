#pragma once

#include <string_view>

namespace tovan::io {

class Factory;
class IStream;
class OStream;

// Writes and reads references to factories in one stream.
class Registry {
public:
    virtual ~Registry() = default;

    // True when the reference was written.
    virtual bool write_factory(OStream& stream, std::string_view name) = 0;
    // The factory referred to, or null; with report set, an unknown name is logged.
    virtual const Factory* read_factory(IStream& stream, bool report = true) = 0;
};

}  // namespace tovan::io
