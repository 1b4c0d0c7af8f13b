#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/catalog/CatalogOrder.h"
#include "engine/catalog/CatalogStats.h"
#include "engine/catalog/EntryState.h"
#include "tovan/InplaceRef.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// One file or folder of a server's catalog. Catalogs hold millions of entries, so
// an entry is 32 bytes: a parent link, the file's size or the folder's block, the
// time, a flag byte and the name's length, with the name right behind it in the
// one allocation it shares with its control block (create_file, create_folder).
// What few entries have (previous values, a name set later) lives in tables
// beside the catalog, under the catalog lock.
//
// The entry stores its change state; the rules that tie marks of parents and
// children together are in ChangeMarks. Children sequences and folder paths are
// guarded by the catalog lock; every operation here that touches them takes it. A folder owns its
// children; the parent link is a plain pointer, cleared when the child leaves the folder.
class Entry {
    struct InlineKey {
        explicit InlineKey() = default;
    };

public:
    struct FolderBlock;
    struct Previous {
        std::uint64_t size = 0;
        std::int64_t time = 0;
    };
    using Predicate = std::function<bool(const Entry&)>;

    static SharedPtr<Entry> create_file(std::string_view name, std::uint64_t size,
                                        std::int64_t time);
    static SharedPtr<Entry> create_folder(std::string_view name, std::int64_t time = 0);

    Entry(std::byte* tail, InlineKey, std::string_view name, bool folder);
    ~Entry();
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;

    // Makes the entry a folder or a file of size and time 0; an existing folder
    // keeps its children.
    void make_folder(bool folder);
    bool is_folder() const { return (flags() & FolderFlag) != 0; }
    EntryState state() const { return static_cast<EntryState>(flags() & StateMask); }

    // Inline: sorting and merging a listing asks for names millions of times.
    std::string_view name() const {
        if (!(flags() & HeapNameFlag)) [[likely]]
            return {reinterpret_cast<const char*>(this + 1), name_size_};
        return name_kept_apart();
    }
    void set_name(std::string_view name);
    Entry* parent() const { return parent_.load(std::memory_order_acquire); }

    std::uint64_t size() const { return is_folder() ? 0 : size_; }
    std::int64_t time() const { return time_; }
    std::int64_t last_listing_ms() const;
    void set_size(std::uint64_t size);
    void set_time(std::int64_t time);
    void set_last_listing_ms(std::int64_t ms);
    // How many listings a scan counted for this folder and all below it, kept
    // from the scan's start until the folder's own request is queued; 0 when
    // none is kept. Progress is all it feeds.
    void keep_scan_estimate(std::int32_t listings);
    std::int32_t take_scan_estimate();

    // Size and time before the marked change; a new file had no size.
    std::uint64_t previous_size() const;
    std::int64_t previous_time() const;
    bool has_previous() const;
    void set_previous_size(std::uint64_t size);
    void set_previous_time(std::int64_t time);

    // The path of the folder that holds this one, ending in a separator.
    std::string path() const;
    void set_path(std::string_view path);
    // Takes the path a sibling folder has: siblings share one pooled text.
    void share_path(const Entry& sibling);
    std::string full_path() const;
    // The full path with "/" appended when it does not end in a separator.
    std::string path_for_children() const;
    void rebase_paths(std::string_view path);

    std::size_t child_count() const;
    // Starts fetching the children into the processor's cache while other work
    // goes on: a rescan compares each of them once, and listing the folder has
    // pushed them out.
    void prefetch_children() const;
    // Starts fetching what a walk over many folders reads of this one, in steps
    // taken a few folders apart, each needing what the one before fetched. Call
    // under the catalog lock.
    enum class WalkStep { Block, ChildList, FirstChildren };
    void prefetch_for_walk(WalkStep step) const;
    SharedPtr<Entry> child(std::size_t index) const;
    // Calls visit for each child in order, holding the catalog lock throughout; a
    // visitor that keeps a child takes child.shared().
    void for_each_child(const std::function<void(const InplaceRef<Entry>&)>& visit) const;
    // The children, or those that are folders, taken under one hold of the lock.
    std::vector<SharedPtr<Entry>> children() const;
    std::vector<SharedPtr<Entry>> child_folders() const;
    // As for_each_child, for the children that are folders: a walk over many
    // folders makes no list of each one's.
    void for_each_child_folder(const std::function<void(const InplaceRef<Entry>&)>& visit) const;
    void add_child(const SharedPtr<Entry>& child);
    // Adds many children at once, in order, under one hold of the lock.
    void add_children(std::vector<SharedPtr<Entry>> items);
    // The same without a pointer's second word per child (a catalog being loaded).
    void add_children(std::vector<InplaceRef<Entry>> items);
    void remove_child(const Entry* child);
    // Puts item where old was (or appends it when old is not here).
    void replace_child(const Entry* old, const SharedPtr<Entry>& item);
    // The child with exactly this name; the child at hint is tried first.
    SharedPtr<Entry> find_child(std::string_view name, std::size_t hint = 0) const;
    // The time of the child folder with exactly this name, when there is one.
    std::optional<std::int64_t> child_folder_time(std::string_view name) const;
    void sort_children();

    // Catalog order: folders first, then names byte by byte as unsigned characters.
    static bool comes_before(const SharedPtr<Entry>& a, const SharedPtr<Entry>& b) {
        return precedes(*a, *b);
    }
    static bool precedes(const Entry& a, const Entry& b) {
        return CatalogOrder::precedes(a.is_folder(), a.name(), b.is_folder(), b.name());
    }
    static constexpr std::size_t NotFound = static_cast<std::size_t>(-1);
    // Removes every child that matches, in one pass.
    void remove_children_where(const Predicate& matches);
    // Keeps the children for which keep is true, in order, in one pass; keep may
    // change the child it is given.
    void keep_children_if(const std::function<bool(Entry&)>& keep);
    // True when some child matches; stops at the first.
    bool any_child(const Predicate& matches) const;
    // True when the folder has count children and matches(child, index) holds for
    // each, in order, under one hold of the lock; stops at the first that fails.
    bool children_match(
        std::size_t count,
        const std::function<bool(const InplaceRef<Entry>&, std::size_t)>& matches) const;

    // Stores the state alone (unmarked, the previous values go); what a mark
    // means for the folders above and below is ChangeMarks' business.
    void store_state(EntryState state);

    void statistics(CatalogStats& out) const;

private:
    enum : std::uint8_t {
        StateMask = 0x07,
        FolderFlag = 0x08,
        HeapNameFlag = 0x20,  // the name was set later and is kept apart
        PreviousFlag = 0x40,  // the previous values live in their table
    };

    std::uint8_t flags() const { return flags_.load(std::memory_order_relaxed); }
    // Clears and sets flag bits in one step: other bits may change meanwhile.
    void change_flags(std::uint8_t clear, std::uint8_t set);
    std::string_view name_kept_apart() const;
    // The full path, with a separator at its end when asked and not there.
    std::string joined_path(bool closing_separator) const;
    FolderBlock* folder_block() const { return is_folder() ? folder_ : nullptr; }
    Previous& previous();
    const Previous* stored_previous() const;
    void forget_previous();
    void free_data();
    std::size_t index_of(std::string_view name, std::size_t hint) const;
    std::size_t index_of(const Entry* child) const;
    void add_statistics(CatalogStats& out) const;
    template <class Keep>
    void compact_children(Keep keep);

    std::atomic<Entry*> parent_{nullptr};
    union {
        FolderBlock* folder_;  // when FolderFlag is set
        std::uint64_t size_ = 0;
    };
    std::int64_t time_ = 0;  // seconds since 1970 UTC
    std::atomic<std::uint8_t> flags_{0};
    std::uint32_t name_size_ = 0;  // the name follows the entry unless HeapNameFlag is set
};

}  // namespace tovan
