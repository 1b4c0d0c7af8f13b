#pragma once

#include <string>
#include <string_view>

namespace tovan {

// Names of downloaded files come from servers, catalogs and imported files, so
// they are checked before anything is written: a download never writes outside
// the folder the user chose.
struct DestinationName {
    // A name that is empty, "." or "..", or holds a "/" or a NUL, is refused.
    static bool is_safe(std::string_view name);
    // True when destination is folder followed by safe names only.
    static bool is_inside(std::string_view folder, std::string_view destination);
    // The folder with one closing "/".
    static std::string as_folder(std::string folder);
};

}  // namespace tovan
