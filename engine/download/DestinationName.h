#pragma once

#include <string>
#include <string_view>

namespace tovan {

// Names of downloaded files come from servers, catalogs and imported files, so
// they are checked before anything is written: a download never writes outside
// the folder the user chose. A job writes into partial files of its own and
// gives a finished file a free name when its own is taken.
struct DestinationName {
    // The longest file name the usual Linux file systems take, in bytes.
    static constexpr std::size_t MaxName = 255;

    // A name that is empty, "." or "..", or holds a "/" or a NUL, is refused.
    static bool is_safe(std::string_view name);
    // True when destination is folder followed by safe names only.
    static bool is_inside(std::string_view folder, std::string_view destination);
    // The folder with one closing "/".
    static std::string as_folder(std::string folder);

    // The partial file beside destination, "NAME.TAG.part"; a name that fits
    // but leaves no room for the ending is cut, keeping it apart from others
    // cut alike by a hash of the whole name.
    static std::string part_of(std::string_view destination, std::string_view tag);
    // The error (an errno) says the file system will never take the name: too
    // long, or holding characters it refuses.
    static bool is_refused_by_system(int error);
    // "NAME (n).ext" beside destination, as browsers number a taken name.
    static std::string numbered(std::string_view destination, unsigned n);
};

}  // namespace tovan
