#pragma once

#include "engine/catalog/ScanFilter.h"
#include "tovan/io/IStream.h"
#include "tovan/io/OStream.h"

namespace tovan {

// A change filter as the data files keep it: version byte, depth overrides in
// key order, masks in list order. Version 1 kept exclude patterns instead of
// masks; version 0 only the depths.
class ScanFilterRecord {
public:
    static constexpr std::uint8_t Version = 2;

    static void write(io::OStream& out, const ScanFilter& filter);
    static void read(io::IStream& in, ScanFilter& filter);
};

}  // namespace tovan
