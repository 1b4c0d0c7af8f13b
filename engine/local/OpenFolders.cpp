#include "engine/local/OpenFolders.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>

namespace tovan {
namespace {

constexpr int OpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// Every scan thread of every server keeps some: together they stay well inside
// the usual limit of 1,024 descriptors, however many scans run at once.
constexpr int MaxKeptInProcess = 256;
std::atomic<int> kept_in_process{0};

void release(int descriptor) {
    --kept_in_process;
    ::close(descriptor);
}

}  // namespace

OpenFolders::~OpenFolders() {
    close_all();
}

int OpenFolders::open(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash + 1 < path.size()) {
        const std::string_view parent(path.data(), slash + 1);
        std::lock_guard guard(lock_);
        for (auto kept = kept_.rbegin(); kept != kept_.rend(); ++kept) {
            if (kept->children_path != parent)
                continue;
            const int descriptor = ::openat(kept->descriptor, path.c_str() + slash + 1, OpenFlags);
            if (descriptor >= 0)
                return descriptor;
            break;  // the kept folder may have been deleted since: its path decides
        }
    }
    return ::open(path.c_str(), OpenFlags);
}

void OpenFolders::keep(std::string path, int descriptor) {
    std::string children_path = std::move(path);
    if (children_path.empty() || children_path.back() != '/')
        children_path += '/';
    std::lock_guard guard(lock_);
    // The scan lists below this folder next; of the others, only the folders
    // above it may still have subfolders to come.
    std::erase_if(kept_, [&](const Kept& kept) {
        const bool above = kept.children_path.size() < children_path.size() &&
                           children_path.starts_with(kept.children_path);
        if (!above)
            release(kept.descriptor);
        return !above;
    });
    // The deepest are needed first, so the topmost make room.
    if (kept_.size() == MaxKept) {
        release(kept_.front().descriptor);
        kept_.erase(kept_.begin());
    }
    if (kept_in_process.fetch_add(1) < MaxKeptInProcess)
        kept_.push_back({std::move(children_path), descriptor});
    else
        release(descriptor);
}

void OpenFolders::close_all() {
    std::lock_guard guard(lock_);
    for (const Kept& kept : kept_) release(kept.descriptor);
    kept_.clear();
}

}  // namespace tovan
