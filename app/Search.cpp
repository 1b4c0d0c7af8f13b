#include "app/Search.h"

#include "app/Options.h"
#include "app/SearchMasks.h"
#include "tovan/Paths.h"
#include "tovan/ProfilerScope.h"

namespace tovan {
namespace {

constexpr double BytesPerMegabyte = 1048576.0;

// One run over the roots; keeps the upper-cased path of the file being tested.
class SearchWalk {
public:
    SearchWalk(const Search& search, std::vector<SearchResult>& results)
        : search_(search),
          masks_(search.mask_text),
          // Compared in double: sizes past 16 MB are not exact in single precision.
          min_bytes_(static_cast<double>(search.min_size_mb) * BytesPerMegabyte),
          results_(results) {}

    void run(const Search::Root& root) {
        server_ = root.server;
        if (!root.folder)
            return;
        if (root.folder->is_folder())
            search_folder(root.folder);
        else
            search_file(root.folder, SearchMasks::upped(root.folder->path()));
    }

private:
    bool skipped_as_unchanged(const Entry& entry) const {
        return search_.only_changed && entry.state() == EntryState::Unchanged;
    }

    void search_folder(const SharedPtr<Entry>& folder) {
        if (skipped_as_unchanged(*folder))
            return;
        std::string prefix = SearchMasks::upped(folder->full_path());
        if (search_.directories && masks_.match_upped(prefix))
            add(folder);
        if (!ends_in_separator(prefix))
            prefix += '/';
        for (const SharedPtr<Entry>& child : folder->children()) {
            if (child->is_folder())
                search_folder(child);
            else
                search_file(child, prefix);
        }
    }

    void search_file(const SharedPtr<Entry>& file, const std::string& upped_folder_path) {
        if (static_cast<double>(file->size()) < min_bytes_)
            return;
        if (skipped_as_unchanged(*file))
            return;
        if (!masks_.empty()) {
            path_.assign(upped_folder_path);
            SearchMasks::append_upped(path_, file->name());
            if (!masks_.match_upped(path_))
                return;
        }
        add(file);
    }

    void add(const SharedPtr<Entry>& entry) {
        SearchResult result;
        result.server = server_;
        result.entry = entry;
        if (server_ && server_->server)
            result.url = server_->server->url(entry.get());
        result.is_folder = entry->is_folder();
        result.size = entry->size();
        results_.push_back(std::move(result));
    }

    const Search& search_;
    const SearchMasks masks_;
    const double min_bytes_;
    std::vector<SearchResult>& results_;
    SharedPtr<TreeEntry> server_;
    std::string path_;
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

std::vector<SearchResult> Search::run(const std::vector<Root>& roots) const {
    const ProfilerScope profile("Search::run");
    std::vector<SearchResult> results;
    SearchWalk walk(*this, results);
    for (const Root& root : roots) walk.run(root);
    return results;
}

}  // namespace tovan
