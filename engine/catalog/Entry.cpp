#include "engine/catalog/Entry.h"

#include <malloc.h>

#include <algorithm>
#include <cassert>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/catalog/CatalogLock.h"
#include "engine/catalog/CatalogOrder.h"
#include "engine/catalog/PathPool.h"
#include "tovan/Paths.h"

namespace tovan {

struct Entry::FolderBlock {
    const std::string* path = nullptr;
    const std::string* name = nullptr;  // a name set later, pooled
    // One word per child: folders of many files are most of a catalog's memory.
    std::vector<InplaceRef<Entry>> children;
    std::atomic<std::int64_t> last_listing_ms{0};
    // How many leading children are known to be in order; lookups binary-search
    // them, and sorting only has to place what was appended behind them.
    std::uint32_t sorted_prefix = 0;
    // Fills what would be padding: see keep_scan_estimate.
    std::int32_t scan_estimate = 0;
};
static_assert(sizeof(Entry::FolderBlock) <= 56, "a folder's block grew");

// Every entry of every catalog pays for a field, so what only few have is kept
// here, keyed by the entry, under the catalog lock. Names set later are roots'
// names: a folder keeps its own, read without the lock; only a file's is here.
namespace {

// Never destroyed: an entry held by a static object may go after them at exit.
std::unordered_map<const Entry*, Entry::Previous>& previous_values() {
    static auto* table = new std::unordered_map<const Entry*, Entry::Previous>;
    return *table;
}

std::unordered_map<const Entry*, std::string>& heap_names() {
    static auto* table = new std::unordered_map<const Entry*, std::string>;
    return *table;
}

}  // namespace

static_assert(sizeof(Entry) <= 32, "an entry stays small: catalogs hold millions");

namespace {

// A catalog is millions of small blocks, dropped whole when its server is removed
// or the catalog replaced by a loaded one. In glibc's fast bins the dropped ones
// would stay unmerged, in lists that the next catalog's allocations then walk
// block by block all over memory, which cost a first scan of a million files a
// tenth of a second of the processor. Freed blocks are merged at once instead.
[[maybe_unused]] const bool freed_blocks_merged = ::mallopt(M_MXFAST, 0) == 1;

// A lambda, not a function's address, so that sorting inlines the comparison;
// it takes the catalog's references and shared pointers alike.
constexpr auto in_catalog_order = [](const auto& a, const auto& b) {
    return Entry::precedes(*a, *b);
};

// Where the folders end in children sorted folders first. Most folders hold few
// subfolders before many files, and each child looked at is a wait for memory,
// so the search steps out from the start, doubling, before it halves.
std::vector<InplaceRef<Entry>>::const_iterator folders_end(
    std::vector<InplaceRef<Entry>>::const_iterator begin,
    std::vector<InplaceRef<Entry>>::const_iterator end) {
    const auto is_folder = [](const InplaceRef<Entry>& e) { return e->is_folder(); };
    std::ptrdiff_t step = 1;
    while (end - begin > step && is_folder(begin[step - 1])) {
        begin += step;
        step *= 2;
    }
    return std::partition_point(begin, begin + std::min(step, end - begin), is_folder);
}

// The index of the child named name in children whose first sorted ones are in
// catalog order: the hint first, then a binary search, then the rest.
std::size_t find_in(const std::vector<InplaceRef<Entry>>& children, std::size_t sorted,
                    std::string_view name, std::size_t hint) {
    if (hint != 0 && hint < children.size() && children[hint]->name() == name)
        return hint;
    const auto begin = children.begin();
    const auto sorted_end = begin + std::min(sorted, children.size());
    const auto files_begin = folders_end(begin, sorted_end);
    const auto by_name = [](const InplaceRef<Entry>& e, std::string_view n) {
        return e->name() < n;
    };
    for (auto [first, last] : {std::pair(begin, files_begin), std::pair(files_begin, sorted_end)}) {
        const auto found = std::lower_bound(first, last, name, by_name);
        if (found != last && (*found)->name() == name)
            return found - begin;
    }
    for (auto it = sorted_end; it != children.end(); ++it)
        if ((*it)->name() == name)
            return it - begin;
    return Entry::NotFound;
}

}  // namespace

SharedPtr<Entry> Entry::create_file(std::string_view name, std::uint64_t size, std::int64_t time) {
    SharedPtr<Entry> entry = make_shared_with_tail<Entry>(name.size(), InlineKey(), name, false);
    entry->set_size(size);
    entry->set_time(time);
    return entry;
}

SharedPtr<Entry> Entry::create_folder(std::string_view name, std::int64_t time) {
    SharedPtr<Entry> entry = make_shared_with_tail<Entry>(name.size(), InlineKey(), name, true);
    entry->set_time(time);
    return entry;
}

// The tail is right behind the entry, where name() finds it.
Entry::Entry(std::byte* tail, InlineKey, std::string_view name, bool folder) {
    assert(tail == reinterpret_cast<std::byte*>(this + 1));
    if (folder) {
        folder_ = new FolderBlock;
        change_flags(0, FolderFlag);
    }
    std::memcpy(tail, name.data(), name.size());
    name_size_ = static_cast<std::uint32_t>(name.size());
}

Entry::~Entry() {
    free_data();
    if (flags() & (HeapNameFlag | PreviousFlag)) {
        CatalogGuard guard(catalog_lock());
        heap_names().erase(this);
        previous_values().erase(this);
    }
}

void Entry::change_flags(std::uint8_t clear, std::uint8_t set) {
    std::uint8_t old = flags();
    while (!flags_.compare_exchange_weak(old, static_cast<std::uint8_t>((old & ~clear) | set),
                                         std::memory_order_relaxed)) {
    }
}

std::string_view Entry::name_kept_apart() const {
    if (const FolderBlock* folder = folder_block())
        return *folder->name;
    CatalogGuard guard(catalog_lock());
    const auto found = heap_names().find(this);
    return found != heap_names().end() ? std::string_view(found->second) : std::string_view();
}

void Entry::free_data() {
    FolderBlock* folder = folder_block();
    if (folder == nullptr)
        return;
    // Children that live on (held by a request, say) must not point back here.
    std::vector<InplaceRef<Entry>> orphans;
    {
        CatalogGuard guard(catalog_lock());
        orphans.swap(folder->children);
        for (const InplaceRef<Entry>& child : orphans) {
            Entry* self = this;
            child->parent_.compare_exchange_strong(self, nullptr);
        }
    }
    delete folder;
    folder_ = nullptr;
}

void Entry::make_folder(bool folder) {
    if (folder && is_folder()) {
        folder_->last_listing_ms = 0;
        return;
    }
    if (!folder && !is_folder())
        return;
    const std::string kept_name = (flags() & HeapNameFlag) ? std::string(name()) : std::string();
    free_data();
    time_ = 0;
    if (folder) {
        folder_ = new FolderBlock;
        change_flags(0, FolderFlag);
    } else {
        size_ = 0;
        change_flags(FolderFlag, 0);
    }
    if (flags() & HeapNameFlag)
        set_name(kept_name);
}

// A folder's name goes to the pool, where it stays valid for name()'s callers.
void Entry::set_name(std::string_view name) {
    CatalogGuard guard(catalog_lock());
    if (FolderBlock* folder = folder_block()) {
        folder->name = PathPool::intern(name);
        heap_names().erase(this);
    } else {
        heap_names()[this] = std::string(name);
    }
    change_flags(0, HeapNameFlag);
}

std::int64_t Entry::last_listing_ms() const {
    const FolderBlock* folder = folder_block();
    return folder != nullptr ? folder->last_listing_ms.load(std::memory_order_relaxed) : 0;
}

void Entry::keep_scan_estimate(std::int32_t listings) {
    CatalogGuard guard(catalog_lock());
    if (FolderBlock* folder = folder_block())
        folder->scan_estimate = listings;
}

std::int32_t Entry::take_scan_estimate() {
    CatalogGuard guard(catalog_lock());
    FolderBlock* folder = folder_block();
    return folder != nullptr ? std::exchange(folder->scan_estimate, 0) : 0;
}

void Entry::set_size(std::uint64_t size) {
    if (!is_folder())
        size_ = size;
}

void Entry::set_time(std::int64_t time) {
    time_ = time;
}

void Entry::set_last_listing_ms(std::int64_t ms) {
    if (FolderBlock* folder = folder_block())
        folder->last_listing_ms.store(ms, std::memory_order_relaxed);
}

// Call under the catalog lock.
const Entry::Previous* Entry::stored_previous() const {
    if (!(flags() & PreviousFlag))
        return nullptr;
    const auto found = previous_values().find(this);
    return found != previous_values().end() ? &found->second : nullptr;
}

std::uint64_t Entry::previous_size() const {
    if (state() == EntryState::New)
        return 0;
    CatalogGuard guard(catalog_lock());
    const Previous* previous = stored_previous();
    return previous != nullptr ? previous->size : size();
}

std::int64_t Entry::previous_time() const {
    CatalogGuard guard(catalog_lock());
    const Previous* previous = stored_previous();
    return previous != nullptr ? previous->time : time();
}

bool Entry::has_previous() const {
    CatalogGuard guard(catalog_lock());
    return stored_previous() != nullptr;
}

// Call under the catalog lock.
Entry::Previous& Entry::previous() {
    Previous& previous = previous_values()[this];
    change_flags(0, PreviousFlag);
    return previous;
}

void Entry::forget_previous() {
    if (!(flags() & PreviousFlag))
        return;
    CatalogGuard guard(catalog_lock());
    previous_values().erase(this);
    change_flags(PreviousFlag, 0);
}

void Entry::set_previous_size(std::uint64_t size) {
    CatalogGuard guard(catalog_lock());
    previous().size = size;
}

void Entry::set_previous_time(std::int64_t time) {
    CatalogGuard guard(catalog_lock());
    previous().time = time;
}

std::string Entry::path() const {
    CatalogGuard guard(catalog_lock());
    if (is_folder()) {
        const std::string* path = folder_block()->path;
        return path != nullptr ? *path : std::string();
    }
    const Entry* up = parent();
    return up != nullptr ? up->path_for_children() : std::string();
}

void Entry::set_path(std::string_view path) {
    CatalogGuard guard(catalog_lock());
    if (FolderBlock* folder = folder_block())
        folder->path = PathPool::intern(path);
}

void Entry::share_path(const Entry& sibling) {
    CatalogGuard guard(catalog_lock());
    FolderBlock* folder = folder_block();
    const FolderBlock* other = sibling.folder_block();
    if (folder != nullptr && other != nullptr)
        folder->path = other->path;
}

std::string Entry::full_path() const {
    return joined_path(false);
}

std::string Entry::path_for_children() const {
    return joined_path(true);
}

// Built in one allocation under one hold of the lock: a scan asks for a path
// for every folder it lists.
std::string Entry::joined_path(bool closing_separator) const {
    CatalogGuard guard(catalog_lock());
    std::string parents_path;
    std::string_view above;
    if (is_folder()) {
        if (const std::string* path = folder_block()->path)
            above = *path;
    } else if (const Entry* up = parent()) {
        parents_path = up->path_for_children();
        above = parents_path;
    }
    const std::string_view own = name();
    std::string full;
    full.reserve(above.size() + own.size() + 1);
    full.append(above).append(own);
    if (closing_separator && !ends_in_separator(full))
        full += '/';
    return full;
}

void Entry::rebase_paths(std::string_view path) {
    CatalogGuard guard(catalog_lock());
    FolderBlock* folder = folder_block();
    if (folder == nullptr)
        return;
    folder->path = PathPool::intern(path);
    const std::string inner = path_for_children();
    for (const InplaceRef<Entry>& child : folder->children)
        if (child->is_folder())
            child->rebase_paths(inner);
}

}  // namespace tovan

namespace tovan {

std::size_t Entry::child_count() const {
    CatalogGuard guard(catalog_lock());
    const FolderBlock* folder = folder_block();
    return folder != nullptr ? folder->children.size() : 0;
}

void Entry::prefetch_children() const {
    CatalogGuard guard(catalog_lock());
    const FolderBlock* folder = folder_block();
    if (folder == nullptr)
        return;
    // A few hundred at most: more would push the first out before they are read.
    constexpr std::size_t Ahead = 512;
    const std::size_t count = std::min(folder->children.size(), Ahead);
    for (std::size_t i = 0; i < count; ++i) {
        // The entry and the start of its name, which may lie on the next line.
        const Entry* child = folder->children[i].get();
        __builtin_prefetch(child);
        __builtin_prefetch(reinterpret_cast<const char*>(child + 1));
    }
}

SharedPtr<Entry> Entry::child(std::size_t index) const {
    CatalogGuard guard(catalog_lock());
    const FolderBlock* folder = folder_block();
    if (folder == nullptr || index >= folder->children.size())
        return {};
    return folder->children[index].shared();
}

void Entry::for_each_child(const std::function<void(const InplaceRef<Entry>&)>& visit) const {
    CatalogGuard guard(catalog_lock());
    if (const FolderBlock* folder = folder_block())
        for (const InplaceRef<Entry>& child : folder->children) visit(child);
}

std::vector<SharedPtr<Entry>> Entry::children() const {
    CatalogGuard guard(catalog_lock());
    std::vector<SharedPtr<Entry>> taken;
    if (const FolderBlock* folder = folder_block()) {
        taken.reserve(folder->children.size());
        for (const InplaceRef<Entry>& child : folder->children) taken.push_back(child.shared());
    }
    return taken;
}

void Entry::add_children(std::vector<SharedPtr<Entry>> items) {
    std::vector<InplaceRef<Entry>> refs;
    refs.reserve(items.size());
    for (SharedPtr<Entry>& item : items) refs.emplace_back(std::move(item));
    add_children(std::move(refs));
}

void Entry::add_children(std::vector<InplaceRef<Entry>> items) {
    if (!is_folder())
        return;
    using Ref = InplaceRef<Entry>;
    CatalogOrder::sort(
        items, [](const Ref& item) { return item->is_folder(); },
        [](const Ref& item) { return item->name(); });
    CatalogGuard guard(catalog_lock());
    auto& children = folder_block()->children;
    for (const InplaceRef<Entry>& item : items)
        item->parent_.store(this, std::memory_order_release);
    if (children.empty()) {
        children = std::move(items);
        folder_block()->sorted_prefix = static_cast<std::uint32_t>(children.size());
        return;
    }
    children.insert(children.end(), std::make_move_iterator(items.begin()),
                    std::make_move_iterator(items.end()));
    sort_children();
}

void Entry::for_each_child_folder(
    const std::function<void(const InplaceRef<Entry>&)>& visit) const {
    CatalogGuard guard(catalog_lock());
    const FolderBlock* folder = folder_block();
    if (folder == nullptr)
        return;
    const auto& children = folder->children;
    for (std::size_t i = 0; i < children.size(); ++i) {
        // Folders come first in the sorted part: the rest of it holds only files.
        if (i < folder->sorted_prefix && !children[i]->is_folder()) {
            i = folder->sorted_prefix - 1;
            continue;
        }
        if (children[i]->is_folder())
            visit(children[i]);
    }
}

void Entry::prefetch_for_walk(WalkStep step) const {
    const FolderBlock* folder = folder_block();
    if (folder == nullptr)
        return;
    switch (step) {
        case WalkStep::Block:
            __builtin_prefetch(folder);
            break;
        case WalkStep::ChildList:
            __builtin_prefetch(folder->children.data());
            break;
        case WalkStep::FirstChildren:
            // Subfolders come first, and most folders have few.
            for (std::size_t i = 0; i < std::min<std::size_t>(folder->children.size(), 4); ++i)
                __builtin_prefetch(folder->children[i].get());
            break;
    }
}

std::vector<SharedPtr<Entry>> Entry::child_folders() const {
    std::vector<SharedPtr<Entry>> folders;
    for_each_child_folder(
        [&](const InplaceRef<Entry>& child) { folders.push_back(child.shared()); });
    return folders;
}

void Entry::add_child(const SharedPtr<Entry>& child) {
    CatalogGuard guard(catalog_lock());
    FolderBlock* folder = folder_block();
    if (folder == nullptr || !child)
        return;
    auto& children = folder->children;
    // Children added in order (a catalog being loaded) stay known as sorted.
    if (folder->sorted_prefix == children.size() &&
        (children.empty() || !precedes(*child, *children.back())))
        ++folder->sorted_prefix;
    child->parent_.store(this, std::memory_order_release);
    children.emplace_back(child);
}

std::size_t Entry::index_of(std::string_view name, std::size_t hint) const {
    return find_in(folder_block()->children, folder_block()->sorted_prefix, name, hint);
}

std::size_t Entry::index_of(const Entry* child) const {
    const auto& children = folder_block()->children;
    const std::size_t by_name = index_of(child->name(), 0);
    if (by_name != NotFound && children[by_name].get() == child)
        return by_name;
    for (std::size_t i = 0; i < children.size(); ++i)
        if (children[i].get() == child)
            return i;
    return NotFound;
}

SharedPtr<Entry> Entry::find_child(std::string_view name, std::size_t hint) const {
    CatalogGuard guard(catalog_lock());
    if (folder_block() == nullptr)
        return {};
    const std::size_t index = index_of(name, hint);
    return index != NotFound ? folder_block()->children[index].shared() : SharedPtr<Entry>();
}

std::optional<std::int64_t> Entry::child_folder_time(std::string_view name) const {
    CatalogGuard guard(catalog_lock());
    if (folder_block() == nullptr)
        return std::nullopt;
    const std::size_t index = index_of(name, 0);
    if (index == NotFound || !folder_block()->children[index]->is_folder())
        return std::nullopt;
    return folder_block()->children[index]->time();
}

void Entry::remove_child(const Entry* child) {
    CatalogGuard guard(catalog_lock());
    FolderBlock* folder = folder_block();
    if (folder == nullptr || child == nullptr)
        return;
    const std::size_t index = index_of(child);
    if (index == NotFound)
        return;
    InplaceRef<Entry> removed = std::move(folder->children[index]);
    folder->children.erase(folder->children.begin() + index);
    if (index < folder->sorted_prefix)
        --folder->sorted_prefix;
    Entry* self = this;
    removed->parent_.compare_exchange_strong(self, nullptr);
}

void Entry::replace_child(const Entry* old, const SharedPtr<Entry>& item) {
    CatalogGuard guard(catalog_lock());
    FolderBlock* folder = folder_block();
    if (folder == nullptr || !item)
        return;
    const std::size_t index = old != nullptr ? index_of(old) : NotFound;
    if (index == NotFound) {
        add_child(item);
        return;
    }
    InplaceRef<Entry>& slot = folder->children[index];
    const bool same_place = slot->is_folder() == item->is_folder() && slot->name() == item->name();
    if (!same_place && index < folder->sorted_prefix)
        folder->sorted_prefix = static_cast<std::uint32_t>(index);
    Entry* self = this;
    slot->parent_.compare_exchange_strong(self, nullptr);
    item->parent_.store(this, std::memory_order_release);
    slot = InplaceRef<Entry>(item);
}

void Entry::sort_children() {
    CatalogGuard guard(catalog_lock());
    FolderBlock* folder = folder_block();
    if (folder == nullptr || folder->sorted_prefix >= folder->children.size())
        return;
    auto& children = folder->children;
    const auto middle = children.begin() + folder->sorted_prefix;
    if (!std::is_sorted(middle, children.end(), in_catalog_order))
        std::sort(middle, children.end(), in_catalog_order);
    if (middle != children.begin() && in_catalog_order(*middle, *(middle - 1)))
        std::inplace_merge(children.begin(), middle, children.end(), in_catalog_order);
    folder->sorted_prefix = static_cast<std::uint32_t>(children.size());
}

// Keeps the children for which keep(child) is true, in order, in one pass.
template <class Keep>
void Entry::compact_children(Keep keep) {
    auto& children = folder_block()->children;
    std::vector<InplaceRef<Entry>> dropped;
    std::uint32_t sorted_prefix = folder_block()->sorted_prefix;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (keep(*children[i])) {
            if (kept != i)
                children[kept] = std::move(children[i]);
            ++kept;
            continue;
        }
        if (i < folder_block()->sorted_prefix)
            --sorted_prefix;
        Entry* self = this;
        children[i]->parent_.compare_exchange_strong(self, nullptr);
        dropped.push_back(std::move(children[i]));
    }
    children.resize(kept);
    folder_block()->sorted_prefix = sorted_prefix;
}

void Entry::remove_children_where(const Predicate& matches) {
    CatalogGuard guard(catalog_lock());
    if (folder_block() != nullptr)
        compact_children([&](const Entry& child) { return !matches(child); });
}

void Entry::keep_children_if(const std::function<bool(Entry&)>& keep) {
    CatalogGuard guard(catalog_lock());
    if (folder_block() != nullptr)
        compact_children(keep);
}

bool Entry::any_child(const Predicate& matches) const {
    CatalogGuard guard(catalog_lock());
    const FolderBlock* folder = folder_block();
    if (folder == nullptr)
        return false;
    for (const InplaceRef<Entry>& child : folder->children)
        if (matches(*child))
            return true;
    return false;
}

bool Entry::children_match(
    std::size_t count,
    const std::function<bool(const InplaceRef<Entry>&, std::size_t)>& matches) const {
    CatalogGuard guard(catalog_lock());
    const FolderBlock* folder = folder_block();
    if (folder == nullptr || folder->children.size() != count)
        return false;
    for (std::size_t i = 0; i < count; ++i)
        if (!matches(folder->children[i], i))
            return false;
    return true;
}

void Entry::store_state(EntryState state) {
    change_flags(StateMask, static_cast<std::uint8_t>(state));
    if (state == EntryState::Unchanged)
        forget_previous();
}

void Entry::statistics(CatalogStats& out) const {
    out = CatalogStats();
    CatalogGuard guard(catalog_lock());
    add_statistics(out);
}

void Entry::add_statistics(CatalogStats& out) const {
    const FolderBlock* folder = folder_block();
    if (folder == nullptr)
        return;
    for (const InplaceRef<Entry>& child : folder->children) {
        if (child->is_folder()) {
            ++out.folders;
            child->add_statistics(out);
            continue;
        }
        ++out.files;
        const std::uint64_t size = child->size();
        switch (child->state()) {
            case EntryState::Deleted:
                out.previous_size += size;
                break;
            case EntryState::New:
                out.current_size += size;
                break;
            case EntryState::Modified:
                out.current_size += size;
                if (const Previous* previous = child->stored_previous())
                    out.previous_size += previous->size;
                else
                    out.previous_size += size;
                break;
            default:
                out.current_size += size;
                out.previous_size += size;
        }
    }
}

}  // namespace tovan
