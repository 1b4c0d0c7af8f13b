#include "app/DataFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "app/SystemPaths.h"
#include "tovan/Paths.h"

namespace tovan {
namespace {

constexpr std::string_view Option = "--data-dir";
constexpr const char* WhatToDo = "choose another folder with --data-dir";

std::string as_folder(const std::string& path) {
    std::error_code ignored;
    std::string folder = std::filesystem::absolute(path, ignored).string();
    if (folder.empty())
        folder = path;
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

// "SAVE" beside the program, ending with "/"; empty when the program is not known.
std::string portable_folder(const DataFolder::Sources& sources) {
    if (sources.executable_path.empty())
        return {};
    return in_folder(SystemPaths::folder_of(sources.executable_path), "SAVE") + "/";
}

bool is_folder(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

std::string system_text(int code) {
    return std::system_category().message(code);
}

// A regular file with no other name.
bool is_plain_file(int descriptor) {
    struct stat status;
    return ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_nlink == 1;
}

}  // namespace

DataFolder::Sources DataFolder::process_sources(const std::string& option) {
    return {option, SystemPaths::environment("FERROVANE_DATA"), program_path(),
            SystemPaths::data_home(), SystemPaths::state_home()};
}

std::string DataFolder::option_value(int argc, const char* const* argv) {
    for (int at = 1; at < argc; ++at) {
        const std::string_view argument = argv[at];
        if (argument == Option)
            return at + 1 < argc ? argv[at + 1] : std::string();
        if (argument.starts_with(Option) && argument.size() > Option.size() &&
            argument[Option.size()] == '=')
            return std::string(argument.substr(Option.size() + 1));
    }
    return {};
}

std::string DataFolder::choose(const Sources& sources) {
    if (!sources.option.empty())
        return as_folder(sources.option);
    if (!sources.environment.empty())
        return as_folder(sources.environment);
    if (const std::string portable = portable_folder(sources); is_folder(portable))
        return portable;
    if (!sources.data_home.empty())
        return as_folder(in_folder(sources.data_home, "ferrovane/SAVE"));
    return {};
}

std::string DataFolder::log_folder(const Sources& sources, const std::string& chosen) {
    if (chosen.empty())
        return {};
    if (chosen == portable_folder(sources) || sources.state_home.empty())
        return SystemPaths::folder_of(chosen.substr(0, chosen.size() - 1));
    return in_folder(sources.state_home, "ferrovane");
}

DataFolder::~DataFolder() {
    close();
}

bool DataFolder::open(const std::string& path) {
    close();
    error_.clear();
    held_by_ = 0;
    if (path.empty()) {
        error_ = "no data folder is known (neither HOME nor XDG_DATA_HOME is set); ";
        error_ += WhatToDo;
        return false;
    }
    path_ = as_folder(path);
    return create(path_) && lock();
}

void DataFolder::close() {
    if (lock_descriptor_ < 0)
        return;
    ::close(lock_descriptor_);
    lock_descriptor_ = -1;
}

// A folder made here holds passwords: only its owner may look inside.
bool DataFolder::create(const std::string& folder) {
    std::error_code error;
    if (std::filesystem::create_directories(folder, error))
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
    else if (!error && !std::filesystem::is_directory(folder, error))
        error = std::make_error_code(std::errc::not_a_directory);
    if (!error)
        return true;
    error_ =
        "the data folder " + folder + " can't be created: " + error.message() + "; " + WhatToDo;
    return false;
}

// The lock file is written, so it must be this program's own plain file: a link
// or a second name planted there would make the process id land in whatever file
// it leads to.
bool DataFolder::lock() {
    const std::string lock_path = path_ + LockName;
    lock_descriptor_ = ::open(
        lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
    if (lock_descriptor_ < 0) {
        const int code = errno;
        error_ = "the data folder " + path_ + " can't be used: " + lock_path +
                 (code == ELOOP ? " is a symbolic link; remove it, or "
                                : ": " + system_text(code) + "; ") +
                 WhatToDo;
        return false;
    }
    if (!is_plain_file(lock_descriptor_)) {
        error_ = "the data folder " + path_ + " can't be used: " + lock_path +
                 " is not a plain file of its own; remove it, or " + WhatToDo;
        close();
        return false;
    }
    if (::flock(lock_descriptor_, LOCK_EX | LOCK_NB) == 0) {
        record_holder();
        return true;
    }
    const int code = errno;
    if (code == EWOULDBLOCK) {
        const long pid = holder();
        held_by_ = pid > 0 ? pid : -1;
        error_ = "the data folder " + path_ + " is used by " +
                 (pid > 0 ? "process " + std::to_string(pid) : std::string("another process")) +
                 "; close that Ferrovane or " + WhatToDo;
    } else {
        error_ =
            "the data folder " + path_ + " can't be locked: " + system_text(code) + "; " + WhatToDo;
    }
    close();
    return false;
}

void DataFolder::record_holder() {
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(lock_descriptor_, 0) != 0)
        return;
    [[maybe_unused]] const ssize_t written = ::pwrite(lock_descriptor_, pid.data(), pid.size(), 0);
}

long DataFolder::holder() const {
    char text[32] = {};
    if (::pread(lock_descriptor_, text, sizeof text - 1, 0) <= 0)
        return 0;
    return std::strtol(text, nullptr, 10);
}

}  // namespace tovan
