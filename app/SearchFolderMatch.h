#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/SearchMasks.h"

namespace tovan {

// Tests the files of one folder against the masks. The folder's upper-cased path
// is matched once: each mask of literal parts keeps how many of its parts the path
// already holds and from where the rest may begin, so a file costs a test of its
// name and of the few last bytes of the path a part could still span. Masks with
// "?" are tested on the whole path. Gives exactly what match_upped gives on the
// folder's path followed by the file's name.
class SearchFolderMatch {
public:
    // upped_prefix is the folder's upper-cased path ending in a separator.
    SearchFolderMatch(const SearchMasks& masks, std::string upped_prefix);

    // Whether the file named name (as stored, not upper-cased) in this folder
    // matches some mask.
    bool match(std::string_view name);

private:
    struct Progress {
        std::size_t part = 0;  // the first part the folder's path does not hold
        std::size_t from = 0;  // where in the path that part may begin
    };

    bool match_tail(const SearchMasks::Compiled& mask, const Progress& progress) const;

    const SearchMasks& masks_;
    const std::string prefix_;
    std::vector<Progress> progress_;  // one for each mask; unused for masks with "?"
    std::size_t tail_start_ = 0;      // the first byte of the path any mask still needs
    bool whole_path_ = false;         // some mask has "?"
    bool every_file_ = false;         // the folder's path alone matches
    std::string path_;                // the path from tail_start_, name included
};

}  // namespace tovan
