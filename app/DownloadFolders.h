#pragma once

#include <cstddef>
#include <string>

namespace tovan {

class Options;

// The folders downloads go to: the one typed or picked is made where it is
// missing and then kept first among the recent ones of the options.
class DownloadFolders {
public:
    static constexpr std::size_t Kept = 40;

    struct Prepared {
        std::string folder;   // absolute, without a closing "/"
        std::string problem;  // why the text names no usable folder; empty when it does
    };

    // The folder that the text names ("/..." or "~/..."), made with every missing
    // folder above it.
    static Prepared prepare(const std::string& text);
    // Puts the folder first in download_folders, once, and makes it download_folder.
    static void choose(Options& options, const std::string& folder);
};

}  // namespace tovan
