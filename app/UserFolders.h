#pragma once

#include <string>

namespace tovan {

// The user's own folders as the desktop names them (xdg-user-dirs).
class UserFolders {
public:
    // $XDG_DOWNLOAD_DIR, else XDG_DOWNLOAD_DIR in user-dirs.dirs, when that folder
    // exists, else ~/Downloads when it exists; else the home folder; empty when
    // none is known.
    static std::string downloads();

    // The value of XDG_DOWNLOAD_DIR in the text of a user-dirs.dirs file, with
    // $HOME replaced; empty when it is not there.
    static std::string download_dir_in(const std::string& text, const std::string& home);
};

}  // namespace tovan
