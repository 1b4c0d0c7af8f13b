#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tovan/SharedPtr.h"

namespace tovan {

// The folders a scan thread has just listed, kept open so that subfolders are
// opened relative to them: opening a folder by its full path makes the kernel
// walk every folder above it again. Only the folders above the last one kept
// stay, as a scan goes deep first; a thread with nothing to do lets go of them
// all, so a later scan opens by path again and sees folders renamed meanwhile.
//
// Scan threads share out the subfolders of one folder, so a thread often lists
// a folder whose parent another thread has kept: every thread opens through
// the folders any of them keeps, under one lock for the process. Those are
// folders that scans running now have just listed.
class OpenFolders {
public:
    OpenFolders();
    OpenFolders(const OpenFolders&) = delete;
    OpenFolders& operator=(const OpenFolders&) = delete;
    ~OpenFolders();

    // Opens the folder at path, relative to the deepest folder above it that
    // is kept; -1 with errno set when it cannot be opened.
    int open(const std::string& path);
    // Takes over descriptor, the open folder at path, for its subfolders.
    void keep(std::string path, int descriptor);
    void close_all();

private:
    // Closed when the last thread opening through it lets go.
    struct Descriptor;
    struct Kept {
        std::string children_path;  // the folder's path and a separator
        SharedPtr<Descriptor> descriptor;
    };
    struct Above {
        SharedPtr<Descriptor> descriptor;
        std::size_t skipped = 0;  // the length of its children_path
    };
    // Deeper than most trees go; a deeper one keeps its topmost folders closed.
    static constexpr std::size_t MaxKept = 32;

    Above deepest_above(std::string_view path) const;
    // Keeps only the folders above the one whose children_path is given, and
    // leaves room for it.
    void let_go_of_all_but_above(const std::string& children_path);

    std::vector<Kept> kept_;  // from the topmost down
};

}  // namespace tovan
