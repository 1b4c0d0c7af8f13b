#pragma once

#include <string>
#include <string_view>

namespace tovan {

// Paths as text. A stored location may separate its parts with "/" or, on a
// Windows share or drive, with "\", so both count as separators here.
bool is_separator(char c);
bool ends_in_separator(std::string_view path);
// The last part of a path, separators at its end left out: "a/b/" gives "b".
std::string last_path_part(std::string_view path);
// The file name in the folder, whether or not the folder ends with "/".
std::string in_folder(std::string_view folder, std::string_view name);

// The running program's full path (/proc/self/exe), empty when unknown.
std::string program_path();

}  // namespace tovan
