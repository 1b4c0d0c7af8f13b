#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/catalog/Entry.h"
#include "engine/scan/Scanner.h"

namespace tovan::test {

// Waits until the scanner has nothing left to do, then stops it and waits for
// its threads to end, as the user interface does.
void finish(Scanner& scanner);

// Writes a file, making the folders it needs, with its time set to `when`.
void write_file_at(const std::string& path, const std::string& bytes, std::int64_t when);

// The catalog item at a path below the folder, such as "docs/a.txt"; empty when
// there is none.
SharedPtr<Entry> entry_at(SharedPtr<Entry> folder, std::string_view path);

}  // namespace tovan::test
