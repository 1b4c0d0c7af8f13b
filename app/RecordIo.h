#pragma once

#include <cstddef>
#include <cstdint>

#include "tovan/io/IStream.h"

namespace tovan {

// Reads the version byte of a record; a version newer than this program knows
// cannot be read and fails like a damaged file, naming the record.
std::uint8_t read_record_version(io::IStream& in, std::uint8_t newest, const char* record);

// Reads the count in front of a list: a stored 0xFFFFFFFE means the real count
// follows in the next four bytes. A count the rest of the file cannot hold (at
// least min_record_size bytes an element) fails as a read past the end.
std::uint32_t read_list_count(io::IStream& in, std::size_t min_record_size);

}  // namespace tovan
