#include "engine/local/OpenFolders.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <mutex>
#include <utility>

namespace tovan {
namespace {

constexpr int OpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// Every scan thread of every server keeps some: together they stay well inside
// the usual limit of 1,024 descriptors, however many scans run at once.
constexpr int MaxKeptInProcess = 256;
std::atomic<int> kept_in_process{0};

// Guards every instance's kept folders and the list of instances.
std::mutex& kept_lock() {
    static std::mutex lock;
    return lock;
}

std::vector<const OpenFolders*>& all_instances() {
    static std::vector<const OpenFolders*> instances;
    return instances;
}

}  // namespace

struct OpenFolders::Descriptor {
    explicit Descriptor(int descriptor) : descriptor(descriptor) {}
    ~Descriptor() {
        --kept_in_process;
        ::close(descriptor);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    const int descriptor;
};

OpenFolders::OpenFolders() {
    std::lock_guard guard(kept_lock());
    all_instances().push_back(this);
}

OpenFolders::~OpenFolders() {
    close_all();
    std::lock_guard guard(kept_lock());
    std::erase(all_instances(), this);
}

OpenFolders::Above OpenFolders::deepest_above(std::string_view path) const {
    const std::size_t parent_size = path.rfind('/') + 1;
    if (parent_size == 0 || parent_size == path.size())
        return {};
    // The thread's own last folder is the parent most of the time.
    for (auto kept = kept_.rbegin(); kept != kept_.rend(); ++kept)
        if (kept->children_path.size() == parent_size && path.starts_with(kept->children_path))
            return {kept->descriptor, parent_size};
    Above above;
    for (const OpenFolders* each : all_instances())
        for (const Kept& kept : each->kept_)
            if (kept.children_path.size() > above.skipped && path.starts_with(kept.children_path)) {
                above = {kept.descriptor, kept.children_path.size()};
                if (above.skipped == parent_size)
                    return above;
            }
    return above;
}

int OpenFolders::open(const std::string& path) {
    Above above;
    {
        std::lock_guard guard(kept_lock());
        above = deepest_above(path);
    }
    if (above.descriptor) {
        const int descriptor =
            ::openat(above.descriptor->descriptor, path.c_str() + above.skipped, OpenFlags);
        if (descriptor >= 0)
            return descriptor;
        // The kept folder may have been deleted since: the path decides.
    }
    return ::open(path.c_str(), OpenFlags);
}

void OpenFolders::keep(std::string path, int descriptor) {
    std::string children_path = std::move(path);
    if (children_path.empty() || children_path.back() != '/')
        children_path += '/';
    let_go_of_all_but_above(children_path);
    if (kept_in_process.fetch_add(1) >= MaxKeptInProcess) {
        --kept_in_process;
        ::close(descriptor);
        return;
    }
    Kept added{std::move(children_path), make_shared<Descriptor>(descriptor)};
    std::lock_guard guard(kept_lock());
    kept_.push_back(std::move(added));
}

void OpenFolders::let_go_of_all_but_above(const std::string& children_path) {
    // Declared before the lock so that the folders let go of close after it is
    // released.
    std::vector<Kept> dropped;
    std::lock_guard guard(kept_lock());
    // The scan lists below this folder next; of the others, only the folders
    // above it may still have subfolders to come.
    const auto not_above = std::stable_partition(kept_.begin(), kept_.end(), [&](const Kept& kept) {
        return kept.children_path.size() < children_path.size() &&
               children_path.starts_with(kept.children_path);
    });
    std::move(not_above, kept_.end(), std::back_inserter(dropped));
    kept_.erase(not_above, kept_.end());
    // The deepest are needed first, so the topmost make room.
    if (kept_.size() == MaxKept) {
        dropped.push_back(std::move(kept_.front()));
        kept_.erase(kept_.begin());
    }
}

void OpenFolders::close_all() {
    std::vector<Kept> dropped;
    std::lock_guard guard(kept_lock());
    dropped.swap(kept_);
}

}  // namespace tovan
