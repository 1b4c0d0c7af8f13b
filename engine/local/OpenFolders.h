#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace tovan {

// The folders a scan thread has just listed, kept open so that their subfolders
// are opened relative to them: opening a folder by its full path makes the
// kernel walk every folder above it again. Only the folders above the last one
// kept stay, as a scan goes deep first; a thread with nothing to do lets go of
// them all, so a later scan opens by path again and sees folders renamed
// meanwhile.
class OpenFolders {
public:
    OpenFolders() = default;
    OpenFolders(const OpenFolders&) = delete;
    OpenFolders& operator=(const OpenFolders&) = delete;
    ~OpenFolders();

    // Opens the folder at path, relative to its parent when the parent is kept;
    // -1 with errno set when it cannot be opened.
    int open(const std::string& path);
    // Takes over descriptor, the open folder at path, for its subfolders.
    void keep(std::string path, int descriptor);
    void close_all();

private:
    struct Kept {
        std::string children_path;  // the folder's path and a separator
        int descriptor;
    };
    // Deeper than most trees go; a deeper one keeps its topmost folders closed.
    static constexpr std::size_t MaxKept = 32;

    std::mutex lock_;
    std::vector<Kept> kept_;  // from the topmost down
};

}  // namespace tovan
