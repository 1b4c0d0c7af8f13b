#include "app/Search.h"

#include <algorithm>
#include <chrono>
#include <iterator>

#include "app/Options.h"
#include "app/SearchFolderMatch.h"
#include "app/SearchMasks.h"
#include "tovan/Paths.h"
#include "tovan/ProfilerScope.h"

namespace tovan {
namespace {

constexpr double BytesPerMegabyte = 1048576.0;
// How many entries go by between two looks at the stop request and the clock.
constexpr unsigned EntriesBetweenChecks = 1024;

using Clock = std::chrono::steady_clock;

// One run over the roots; keeps the batch not yet delivered.
class SearchWalk {
public:
    SearchWalk(const Search& search, const Search::Deliver& deliver, std::stop_token stop)
        : search_(search),
          masks_(search.mask_text),
          // Compared in double: sizes past 16 MB are not exact in single precision.
          min_bytes_(static_cast<double>(search.min_size_mb) * BytesPerMegabyte),
          deliver_(deliver),
          stop_(std::move(stop)) {}

    // False when stopped on request.
    bool run(const std::vector<Search::Root>& roots) {
        for (std::size_t index = 0; index < roots.size() && !stopped_; ++index) {
            root_ = static_cast<std::uint32_t>(index);
            run(roots[index]);
        }
        if (!stopped_)
            deliver();
        return !stopped_;
    }

private:
    void run(const Search::Root& root) {
        if (!root.folder)
            return;
        if (root.folder->is_folder())
            search_folder(root.folder);
        else
            search_file(root.folder);
    }

    bool skipped_as_unchanged(const Entry& entry) const {
        return search_.only_changed && entry.state() == EntryState::Unchanged;
    }

    // The children are tested in one hold of the catalog lock, and only the
    // subfolders and the files found are taken out of it: copying every child's
    // pointer costs more than testing its name.
    void search_folder(const SharedPtr<Entry>& folder) {
        if (skipped_as_unchanged(*folder))
            return;
        std::string prefix = SearchMasks::upped(folder->full_path());
        if (search_.directories && masks_.match_upped(prefix))
            add(folder);
        if (!ends_in_separator(prefix))
            prefix += '/';
        SearchFolderMatch names(masks_, std::move(prefix));
        std::vector<SharedPtr<Entry>> taken;
        std::size_t seen = 0;
        folder->for_each_child([&](const InplaceRef<Entry>& child) {
            ++seen;
            if (child->is_folder() || file_found(*child, names))
                taken.push_back(child.shared());
        });
        if (checkpoint(static_cast<unsigned>(
                std::min<std::size_t>(seen - taken.size(), EntriesBetweenChecks))))
            return;
        for (const SharedPtr<Entry>& child : taken) {
            if (checkpoint())
                return;
            if (child->is_folder())
                search_folder(child);
            else
                add(child);
        }
    }

    void search_file(const SharedPtr<Entry>& file) {
        SearchFolderMatch names(masks_, SearchMasks::upped(file->path()));
        if (file_found(*file, names))
            add(file);
    }

    bool file_found(const Entry& file, SearchFolderMatch& names) const {
        if (static_cast<double>(file.size()) < min_bytes_)
            return false;
        if (skipped_as_unchanged(file))
            return false;
        return names.match(file.name());
    }

    void add(const SharedPtr<Entry>& entry) {
        batch_.push_back({entry, root_});
        if (batch_.size() >= Search::BatchSize)
            deliver();
    }

    // Every so many entries: true once a stop is requested; hands over a batch
    // that has waited long enough.
    bool checkpoint(unsigned entries = 1) {
        if (stopped_)
            return true;
        if (countdown_ > entries) {
            countdown_ -= entries;
            return false;
        }
        countdown_ = EntriesBetweenChecks;
        if (stop_.stop_requested()) {
            stopped_ = true;
            return true;
        }
        if (!batch_.empty() && Clock::now() - last_delivery_ >= BatchWait)
            deliver();
        return false;
    }

    void deliver() {
        last_delivery_ = Clock::now();
        if (batch_.empty())
            return;
        deliver_(std::move(batch_));
        batch_.clear();
    }

    static constexpr std::chrono::milliseconds BatchWait{Search::BatchWaitMs};

    const Search& search_;
    const SearchMasks masks_;
    const double min_bytes_;
    const Search::Deliver& deliver_;
    const std::stop_token stop_;
    std::uint32_t root_ = 0;
    std::vector<SearchResult> batch_;
    Clock::time_point last_delivery_ = Clock::now();
    unsigned countdown_ = EntriesBetweenChecks;
    bool stopped_ = false;
};

}  // namespace

Search Search::from_options(const Options& options) {
    Search search;
    search.mask_text = options.search_mask;
    search.min_size_mb = options.search_min_size_mb;
    search.only_online = options.search_only_online != 0;
    search.only_changed = options.search_only_changed != 0;
    search.directories = options.search_directories != 0;
    return search;
}

void Search::remember_in(Options& options) const {
    options.search_mask = mask_text;
    options.search_min_size_mb = min_size_mb;
    options.search_only_online = only_online ? 1 : 0;
    options.search_only_changed = only_changed ? 1 : 0;
    options.search_directories = directories ? 1 : 0;
}

std::vector<Search::Root> Search::roots(const SharedPtr<TreeEntry>& scope) const {
    std::vector<Root> out;
    if (scope)
        add_roots(scope, out);
    return out;
}

void Search::add_roots(const SharedPtr<TreeEntry>& node, std::vector<Root>& out) const {
    if (node->kind == TreeEntry::Group) {
        for (const SharedPtr<TreeEntry>& child : node->children) add_roots(child, out);
        return;
    }
    if (node->kind != TreeEntry::ServerNode || !node->server)
        return;
    if (only_online && !node->online)
        return;
    out.push_back({node, node->server->root()});
}

bool Search::run(const std::vector<Root>& roots, const Deliver& deliver,
                 std::stop_token stop) const {
    const ProfilerScope profile("Search::run");
    return SearchWalk(*this, deliver, std::move(stop)).run(roots);
}

std::vector<SearchResult> Search::run(const std::vector<Root>& roots) const {
    std::vector<SearchResult> results;
    run(roots, [&results](std::vector<SearchResult>&& batch) {
        if (results.empty())
            results = std::move(batch);
        else
            results.insert(results.end(), std::make_move_iterator(batch.begin()),
                           std::make_move_iterator(batch.end()));
    });
    return results;
}

}  // namespace tovan
