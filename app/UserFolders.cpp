#include "app/UserFolders.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "app/SystemPaths.h"
#include "tovan/Paths.h"

namespace tovan {
namespace {

bool is_folder(const std::string& path) {
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string read_text(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::string UserFolders::download_dir_in(const std::string& text, const std::string& home) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("XDG_DOWNLOAD_DIR="))
            continue;
        std::string value = line.substr(line.find('=') + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.starts_with("$HOME"))
            value = home + value.substr(5);
        return value.starts_with('/') ? value : std::string();
    }
    return {};
}

std::string UserFolders::downloads() {
    const std::string home = SystemPaths::environment("HOME");
    std::string folder = SystemPaths::environment("XDG_DOWNLOAD_DIR");
    if (!is_folder(folder)) {
        const std::string config = SystemPaths::config_home();
        if (!config.empty())
            folder = download_dir_in(read_text(in_folder(config, "user-dirs.dirs")), home);
    }
    if (!is_folder(folder) && !home.empty())
        folder = in_folder(home, "Downloads");
    if (is_folder(folder))
        return folder;
    return is_folder(home) ? home : std::string();
}

}  // namespace tovan
