#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/catalog/EntryState.h"

namespace tovan {

// How sizes, speeds, times and progress read everywhere in the user interface.
// Examples: tests/app/TextFormatsTest.cpp.

// The sign of a change mark: "+" new, "*" modified, "-" deleted, else nothing.
const char* change_sign(EntryState state);
// "1023 Bytes", "1.5 KB", "3.0 MB", "2.0 GB"; every negative count in Bytes. The
// division is in single precision, so large values round the way they always did.
std::string size_text(std::int64_t bytes);
// The same steps for bytes per second: " B/S", " KB/S", " MB/S", " GB/S".
std::string speed_text(std::int64_t bytes_per_second);
// "+" and the size text of the growth, else "-" and that of the shrinkage (equal
// sizes give "-0 Bytes").
std::string size_difference_text(std::uint64_t new_size, std::uint64_t old_size);
// Local time in the C library's "%c" form, with a leading "*" when the time is
// marked as changed; empty for a time the C library cannot convert.
std::string time_text(std::int64_t time, bool changed = false);
// The search results' short size: whole units, truncated ("1 kb" for 1536 bytes).
std::string short_size_text(std::uint64_t bytes);
// A download's Progress column: "45.0%", "?%" while its size is unknown, and for
// a job of several files the current file's share in brackets: "45.0(12.5)%".
std::string progress_text(double progress, double file_progress, std::size_t file_count);

}  // namespace tovan
