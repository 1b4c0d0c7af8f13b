// Rescans a folder tree after 1% of its files changed (a third modified, a
// third deleted, a third with a new file beside them, spread over the tree),
// beside `rsync -a --dry-run -i` comparing the tree with a copy of its state
// before the changes, and beside `rclone check --size-only` when installed.
// Every change must be marked: the program fails when the counts of new,
// modified and deleted entries differ from the changes made. The changes are
// undone after each round (folder times too), so the tree equals the copy again.
//
// usage: ferrovane_rescan_changes DIR PREVIOUS THREADS (0: automatic)
// prints: rescan_ms, rsync_ms, rclone_ms (or -1), changes and the marks counted
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "engine/scan/Scanner.h"
#include "support/TreeServer.h"

namespace {

using namespace tovan;
using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double scan(const SharedPtr<Server>& server, const ScanOptions& options) {
    const auto start = Clock::now();
    Scanner scanner(server, options);
    scanner.scan(server->root(), false);
    while (!scanner.is_idle() && !scanner.has_no_threads()) {
        while (scanner.pop_updated()) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    scanner.stop();
    while (!scanner.has_no_threads()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return ms_since(start);
}

// -1 when the command is missing; its exit code is not looked at past that,
// since both tools report the differences they find with one.
double time_command(const std::string& command) {
    const auto start = Clock::now();
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
        return -1;
    return ms_since(start);
}

enum class Change { Modified, Deleted, Added };

struct Changed {
    std::string path;
    Change change;
    struct stat before;
};

struct Marks {
    int added = 0, modified = 0, deleted = 0;
};

void pick(const Entry& folder, int& counter, std::vector<Changed>& picked) {
    for (std::size_t i = 0; i < folder.child_count(); ++i) {
        const SharedPtr<Entry> child = folder.child(i);
        if (child->is_folder()) {
            pick(*child, counter, picked);
        } else if (++counter % 100 == 0) {
            const auto change = static_cast<Change>(picked.size() % 3);
            picked.push_back({child->full_path(), change, {}});
        }
    }
}

std::string folder_of(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

bool set_times(const std::string& path, const struct stat& info) {
    const timespec times[2] = {info.st_atim, info.st_mtim};
    return ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

bool make_file(const std::string& path, off_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return fd >= 0 && ::ftruncate(fd, size) == 0 && ::close(fd) == 0;
}

bool apply(std::vector<Changed>& picked,
           std::vector<std::pair<std::string, struct stat>>& folders) {
    for (Changed& one : picked) {
        if (::lstat(one.path.c_str(), &one.before) != 0)
            return false;
        struct stat folder;
        if (::stat(folder_of(one.path).c_str(), &folder) != 0)
            return false;
        folders.emplace_back(folder_of(one.path), folder);
    }
    for (const Changed& one : picked) {
        const bool done = one.change == Change::Modified
                              ? make_file(one.path, one.before.st_size + 1)
                          : one.change == Change::Deleted ? ::unlink(one.path.c_str()) == 0
                                                          : make_file(one.path + ".new", 0);
        if (!done)
            return false;
    }
    return true;
}

bool undo(const std::vector<Changed>& picked,
          const std::vector<std::pair<std::string, struct stat>>& folders) {
    for (const Changed& one : picked) {
        const bool done = one.change == Change::Added
                              ? ::unlink((one.path + ".new").c_str()) == 0
                              : make_file(one.path, one.before.st_size) &&
                                    ::chmod(one.path.c_str(), one.before.st_mode & 07777) == 0 &&
                                    set_times(one.path, one.before);
        if (!done)
            return false;
    }
    for (const auto& [path, info] : folders)
        if (!set_times(path, info))
            return false;
    return true;
}

void count(const Entry& folder, Marks& marks) {
    for (std::size_t i = 0; i < folder.child_count(); ++i) {
        const SharedPtr<Entry> child = folder.child(i);
        marks.added += child->state() == EntryState::New;
        marks.modified += child->state() == EntryState::Modified;
        marks.deleted += child->state() == EntryState::Deleted;
        if (child->is_folder())
            count(*child, marks);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s DIR PREVIOUS THREADS\n", argv[0]);
        return 2;
    }
    const std::string tree = argv[1];
    const std::string previous = argv[2];
    const SharedPtr<Server> server = tree_server(tree, argv[3]);
    if (!server)
        return 1;
    const std::string rsync = "rsync -a --dry-run -i '" + tree + "/' '" + previous + "/'";
    const std::string rclone = "rclone check --size-only '" + tree + "' '" + previous + "'";

    // Rounds alternate between the tools and each side keeps its best round, so a
    // burst of other work on the machine does not decide the ratio.
    double rescan_ms = 1e300, rsync_ms = 1e300, rclone_ms = 1e300;
    // The tree's files are years old, and by default changes to files older than
    // three days are unmarked again (a deleted one among them), so the rescan keeps them.
    ScanOptions marking_all;
    marking_all.unmark_old_enabled = false;
    std::vector<Changed> picked;
    for (int round = 0; round < 3; ++round) {
        server->reset_root();
        scan(server, ScanOptions());
        Marks before;
        count(*server->root(), before);
        picked.clear();
        int counter = 0;
        pick(*server->root(), counter, picked);
        std::vector<std::pair<std::string, struct stat>> folders;
        if (before.added + before.modified + before.deleted != 0 || !apply(picked, folders)) {
            std::fprintf(stderr,
                         "the tree was marked before the changes, or could not be changed\n");
            undo(picked, folders);
            return 1;
        }
        time_command(rsync);  // reads what changed into the page cache
        rescan_ms = std::min(rescan_ms, scan(server, marking_all));
        rsync_ms = std::min(rsync_ms, time_command(rsync));
        rclone_ms = std::min(rclone_ms, time_command(rclone));
        Marks marks;
        count(*server->root(), marks);
        if (!undo(picked, folders)) {
            std::fprintf(stderr, "the changes could not be undone; make the tree again\n");
            return 1;
        }
        const int third = static_cast<int>(picked.size() / 3);
        const int rest = static_cast<int>(picked.size() % 3);
        const Marks expected{third + (rest > 2), third + (rest > 0), third + (rest > 1)};
        std::printf("changes: %d new, %d modified, %d deleted\n", expected.added, expected.modified,
                    expected.deleted);
        std::printf("marked: %d new, %d modified, %d deleted\n", marks.added, marks.modified,
                    marks.deleted);
        if (marks.added != expected.added || marks.modified != expected.modified ||
            marks.deleted != expected.deleted) {
            std::fprintf(stderr, "the rescan did not mark every change\n");
            return 1;
        }
    }
    std::printf("rescan_ms %.1f\nrsync_ms %.1f\nrclone_ms %.1f\n", rescan_ms, rsync_ms,
                rclone_ms < 0 ? -1.0 : rclone_ms);
    return 0;
}
