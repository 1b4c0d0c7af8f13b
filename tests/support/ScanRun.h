#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/catalog/Entry.h"
#include "engine/connection/FileFinder.h"
#include "engine/scan/Scanner.h"

namespace tovan::test {

// Waits until the scanner has nothing left to do, then stops it and waits for
// its threads to end, as the user interface does.
void finish(Scanner& scanner);

// Scans the server's whole catalog once with a scanner of its own; true when the
// server was online.
bool scan(const SharedPtr<Server>& server, const ScanOptions& options = {});

// A filter that lets every change be marked, for servers whose tests look at marks.
const ScanFilter* everything();

// Writes a file, making the folders it needs, with its time set to `when`.
void write_file_at(const std::string& path, const std::string& bytes, std::int64_t when);

// Sets the times of a file or folder, or of a link itself with `of_link`.
void set_time(const std::string& path, std::int64_t when, bool of_link = false);

// What the finder lists in the folder, sorted by name: "name:size@time", and
// "name/@time" for folders; nullopt when the folder cannot be listed.
std::optional<std::string> list_folder(FileFinder& finder, const Entry& folder);

// The catalog item at a path below the folder, such as "docs/a.txt"; empty when
// there is none.
SharedPtr<Entry> entry_at(SharedPtr<Entry> folder, std::string_view path);

}  // namespace tovan::test
