#pragma once

#include <filesystem>
#include <string>

namespace tovan::test {

// How many of this process's descriptors are open on the folder or below it.
inline int descriptors_open_in(const std::string& folder) {
    int count = 0;
    std::error_code error;
    for (const auto& each : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const std::filesystem::path target = std::filesystem::read_symlink(each.path(), error);
        if (!error && target.string().starts_with(folder))
            ++count;
    }
    return count;
}

}  // namespace tovan::test
