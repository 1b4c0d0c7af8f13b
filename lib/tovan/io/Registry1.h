#pragma once

#include <cstdint>

#include "tovan/io/BasicRegistry.h"

namespace tovan::io {

// Factory references as stored: the first reference to a name is its 32-bit
// length (1 to 4096) and its bytes, which gives the name the next id (from 1, in
// order of appearance); every later one is a 32-bit 0 and the 32-bit id.
class Registry1 : public BasicRegistry {
public:
    static constexpr std::uint32_t MaxNameLength = 4096;

    bool write_factory(OStream& stream, std::string_view name) override;
    const Factory* read_factory(IStream& stream, bool report = true) override;

private:
    const Factory* read_factory_id(IStream& stream);
    const Factory* read_factory_name(IStream& stream, std::uint32_t length, bool report);
};

}  // namespace tovan::io
