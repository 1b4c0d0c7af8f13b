#include "app/DownloadFolders.h"

#include <algorithm>
#include <filesystem>

#include "app/Options.h"
#include "app/SystemPaths.h"

namespace tovan {

DownloadFolders::Prepared DownloadFolders::prepare(const std::string& text) {
    const std::string path = SystemPaths::expand_home(text);
    if (!path.starts_with('/'))
        return {{}, "\"" + text + "\" is not a full path: begin it with / or ~"};
    std::string folder = std::filesystem::path(path).lexically_normal().string();
    if (folder.size() > 1 && folder.ends_with('/'))
        folder.pop_back();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return {{}, "the folder " + folder + " can't be made: " + error.message()};
    if (!std::filesystem::is_directory(folder, error))
        return {{}, folder + " is a file, not a folder"};
    return {folder, {}};
}

void DownloadFolders::choose(Options& options, const std::string& folder) {
    std::vector<std::string>& recent = options.download_folders;
    std::erase(recent, folder);
    recent.insert(recent.begin(), folder);
    if (recent.size() > Kept)
        recent.resize(Kept);
    options.download_folder = folder;
}

}  // namespace tovan
