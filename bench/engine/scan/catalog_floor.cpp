// The floor of a scan that keeps a catalog: the floor walker's getdents64 and
// fstatat, plus the least a catalog needs. The first walk keeps each item as one
// allocation holding its size, time and name, in its folder's children sorted
// folders first, then by name. The second walk lists every folder again, sorts
// the listing the same way and compares it item by item with what it kept,
// updating what changed. Between the two, every hundredth kept file gets another
// time (not timed), so the second walk finds as many changes as a rescan of the
// scan benchmark does. Nothing is locked beyond the folder stack: a folder's
// children are touched only by the thread that lists it.
//
// usage: ferrovane_catalog_floor THREADS DIR
// prints: items N, changed N, first_ms and again_ms (each the best of three rounds)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "FloorWalk.h"

namespace {

using floor_walk::Descriptor;

// One item as listed; its name lies in the listing's name buffer.
struct Listed {
    std::uint32_t name_at = 0;
    std::uint32_t name_size = 0;
    bool folder = false;
    std::uint64_t size = 0;
    std::int64_t time = 0;
};

// One item as kept, its name right behind it in the same allocation.
struct Kept {
    std::uint64_t size = 0;
    std::int64_t time = 0;
    std::vector<Kept*>* children = nullptr;  // folders only
    std::uint32_t name_size = 0;
    bool folder = false;

    std::string_view name() const { return {reinterpret_cast<const char*>(this + 1), name_size}; }

    static Kept* make(bool folder, std::string_view name, std::uint64_t size, std::int64_t time) {
        void* room = ::operator new(sizeof(Kept) + name.size());
        Kept* kept = new (room) Kept;
        kept->size = size;
        kept->time = time;
        kept->folder = folder;
        kept->name_size = static_cast<std::uint32_t>(name.size());
        name.copy(reinterpret_cast<char*>(kept + 1), name.size());
        if (folder)
            kept->children = new std::vector<Kept*>;
        return kept;
    }

    static void drop(Kept* kept) {
        if (kept->children != nullptr) {
            for (Kept* child : *kept->children) drop(child);
            delete kept->children;
        }
        kept->~Kept();
        ::operator delete(kept);
    }
};

bool comes_before(bool a_folder, std::string_view a_name, bool b_folder, std::string_view b_name) {
    if (a_folder != b_folder)
        return a_folder;
    return a_name < b_name;
}

struct Work {
    std::shared_ptr<Descriptor> parent;  // null for the root
    std::string name;
    Kept* folder = nullptr;
};

struct Totals {
    std::uint64_t items = 0;
    std::uint64_t changed = 0;
};

// A thread's room, kept between folders.
struct Room {
    std::vector<char> buffer = std::vector<char>(1 << 20);
    std::vector<Listed> listed;
    std::string names;
    std::vector<Kept*> merged;
};

class Walk {
public:
    Walk(std::string root, Kept* kept) : folders_({nullptr, std::move(root), kept}) {}

    void run(Totals& totals) {
        Room room;
        Work work;
        while (folders_.take(work)) {
            list(work, room, totals);
            folders_.done();
        }
    }

private:
    void list(Work& work, Room& room, Totals& totals) {
        const std::shared_ptr<Descriptor> self = Descriptor::open(work.parent, work.name);
        if (!self)
            return;
        const int fd = self->fd;
        read(fd, room);
        const auto name = [&](const Listed& item) {
            return std::string_view(room.names).substr(item.name_at, item.name_size);
        };
        std::sort(room.listed.begin(), room.listed.end(), [&](const Listed& a, const Listed& b) {
            return comes_before(a.folder, name(a), b.folder, name(b));
        });
        totals.items += room.listed.size();
        std::vector<Kept*>& children = *work.folder->children;
        std::vector<Work> found;
        const auto queue = [&](Kept* folder) {
            found.push_back({self, std::string(folder->name()), folder});
        };
        if (same_items(children, room, name)) {
            for (std::size_t i = 0; i < children.size(); ++i) {
                Kept* kept = children[i];
                const Listed& item = room.listed[i];
                if (kept->folder) {
                    queue(kept);
                } else if (kept->size != item.size || kept->time != item.time) {
                    kept->size = item.size;
                    kept->time = item.time;
                    ++totals.changed;
                }
            }
        } else {
            merge(children, room, name, totals, queue);
        }
        folders_.give(found);
    }

    static void read(int fd, Room& room) {
        room.listed.clear();
        room.names.clear();
        floor_walk::for_each_name(fd, room.buffer, [&](const char* name) {
            struct stat info;
            if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                return;
            const std::string_view text(name);
            room.listed.push_back({static_cast<std::uint32_t>(room.names.size()),
                                   static_cast<std::uint32_t>(text.size()), S_ISDIR(info.st_mode),
                                   static_cast<std::uint64_t>(info.st_size), info.st_mtime});
            room.names.append(text);
        });
    }

    // True when the folder keeps exactly the listed names and kinds, in order.
    template <class Name>
    static bool same_items(const std::vector<Kept*>& children, const Room& room, Name name) {
        if (children.size() != room.listed.size())
            return false;
        for (std::size_t i = 0; i < children.size(); ++i) {
            const Listed& item = room.listed[i];
            if (children[i]->folder != item.folder || children[i]->name() != name(item))
                return false;
        }
        return true;
    }

    // Pairs the sorted listing with the sorted children: new items are made,
    // gone ones dropped, kept files updated.
    template <class Name, class Queue>
    static void merge(std::vector<Kept*>& children, Room& room, Name name, Totals& totals,
                      Queue queue) {
        room.merged.clear();
        std::size_t i = 0, j = 0;
        while (i < room.listed.size() || j < children.size()) {
            const Listed* item = i < room.listed.size() ? &room.listed[i] : nullptr;
            Kept* kept = j < children.size() ? children[j] : nullptr;
            if (item != nullptr && (kept == nullptr || comes_before(item->folder, name(*item),
                                                                    kept->folder, kept->name()))) {
                kept = Kept::make(item->folder, name(*item), item->size, item->time);
                ++totals.changed;
                ++i;
            } else if (item == nullptr || item->folder != kept->folder ||
                       name(*item) != kept->name()) {
                Kept::drop(kept);
                ++totals.changed;
                ++j;
                continue;
            } else {
                if (!kept->folder && (kept->size != item->size || kept->time != item->time)) {
                    kept->size = item->size;
                    kept->time = item->time;
                    ++totals.changed;
                }
                ++i;
                ++j;
            }
            room.merged.push_back(kept);
            if (kept->folder)
                queue(kept);
        }
        children.assign(room.merged.begin(), room.merged.end());
    }

    floor_walk::FolderStack<Work> folders_;
};

// Walks the tree into root with the given number of threads; returns the time
// taken in milliseconds.
double walk(const std::string& tree, Kept* root, int threads, Totals& sum) {
    const auto start = std::chrono::steady_clock::now();
    Walk walk(tree, root);
    std::vector<Totals> totals(static_cast<std::size_t>(threads));
    floor_walk::on_threads(threads, [&](int i) { walk.run(totals[i]); });
    const auto took = std::chrono::steady_clock::now() - start;
    sum = {};
    for (const Totals& one : totals) {
        sum.items += one.items;
        sum.changed += one.changed;
    }
    return std::chrono::duration<double, std::milli>(took).count();
}

// Gives every hundredth kept file another time, as if it had changed.
void alter_one_percent(const Kept& folder, int& counter) {
    for (Kept* child : *folder.children) {
        if (child->folder)
            alter_one_percent(*child, counter);
        else if (++counter % 100 == 0)
            child->time -= 600;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int threads = floor_walk::thread_count(argc, argv);
    if (threads == 0)
        return 2;
    const std::string tree = argv[2];
    double first_ms = 1e300, again_ms = 1e300;
    Totals first, again;
    for (int round = 0; round < 3; ++round) {
        Kept* root = Kept::make(true, tree, 0, 0);
        first_ms = std::min(first_ms, walk(tree, root, threads, first));
        int counter = round;
        alter_one_percent(*root, counter);
        again_ms = std::min(again_ms, walk(tree, root, threads, again));
        Kept::drop(root);
    }
    std::printf("items %llu\nchanged %llu\nfirst_ms %.1f\nagain_ms %.1f\n",
                static_cast<unsigned long long>(first.items),
                static_cast<unsigned long long>(again.changed), first_ms, again_ms);
    return 0;
}
