// Makes a folder tree for the scan benchmarks: empty files with set modification
// times, so a million of them take little room on disk.
//
// usage: ferrovane_make_tree DIR FILES FOLDERS
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

// 8 to 30 bytes of lower-case letters and digits, made unique by a serial number.
std::string random_name(std::mt19937& random, int serial) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789_";
    std::string name = std::to_string(serial) + "_";
    const std::size_t length = 8 + random() % 23;
    while (name.size() < length) name += letters[random() % (sizeof letters - 1)];
    return name;
}

bool set_time(const std::string& path, std::time_t when) {
    const timespec times[2] = {{when, 0}, {when, 0}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s DIR FILES FOLDERS\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    const long files = std::atol(argv[2]);
    const long folders = std::atol(argv[3]);
    std::mt19937 random(2026);
    struct Folder {
        std::string path;
        int depth;
    };
    std::vector<Folder> all{{root, 0}};
    if (::mkdir(root.c_str(), 0755) != 0) {
        std::perror(root.c_str());
        return 1;
    }
    int serial = 0;
    while (static_cast<long>(all.size()) <= folders) {
        const Folder& parent = all[random() % all.size()];
        if (parent.depth >= 8)
            continue;
        Folder folder{parent.path + "/" + random_name(random, serial++), parent.depth + 1};
        if (::mkdir(folder.path.c_str(), 0755) != 0) {
            std::perror(folder.path.c_str());
            return 1;
        }
        all.push_back(std::move(folder));
    }
    for (long i = 0; i < files; ++i) {
        const std::string path =
            all[random() % all.size()].path + "/" + random_name(random, serial++);
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (fd < 0 || ::close(fd) != 0 || !set_time(path, 1'600'000'000 + random() % 50'000'000)) {
            std::perror(path.c_str());
            return 1;
        }
    }
    for (const Folder& folder : all) set_time(folder.path, 1'650'000'000);
    return 0;
}
