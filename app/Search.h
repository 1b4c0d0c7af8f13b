#pragma once

#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "app/SearchResult.h"
#include "engine/catalog/Entry.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class Options;

// Finds catalog entries by masks over their full paths, by size and by change
// mark, across servers, groups or one folder, without touching the servers: the
// catalogs in memory are walked depth first, in catalog order.
//
// A catalog holds millions of entries: each folder's path is formed and
// upper-cased once, and a file's path is its folder's plus its name, built in one
// reused buffer. Scans may change the catalog meanwhile, so each folder's
// children are taken in one short hold of the catalog lock, never the whole walk.
// Examples: tests/app/SearchTest.cpp.
class Search {
public:
    // Where to search: a server node and one folder of its catalog.
    struct Root {
        SharedPtr<TreeEntry> server;
        SharedPtr<Entry> folder;
    };
    // Takes the results found since the last call, in order.
    using Deliver = std::function<void(std::vector<SearchResult>&& batch)>;

    // A batch goes out when it holds this many results, or when it has waited
    // this long, so that the first results show at once on any catalog.
    static constexpr std::size_t BatchSize = 4096;
    static constexpr int BatchWaitMs = 20;

    std::string mask_text;
    float min_size_mb = 0.0f;   // files smaller than this are left out
    bool only_online = false;   // leave out servers not known to be online
    bool only_changed = false;  // leave out entries without a change mark, folders with all below
    bool directories = false;   // folders may be found too

    // The search the user ran last, and keeping this one for the next time.
    static Search from_options(const Options& options);
    void remember_in(Options& options) const;

    // The catalog roots of every server at or below the node, in tree order.
    std::vector<Root> roots(const SharedPtr<TreeEntry>& scope) const;
    // Hands the results to deliver in batches while the walk goes on; false when
    // it ended early because a stop was requested.
    bool run(const std::vector<Root>& roots, const Deliver& deliver,
             std::stop_token stop = {}) const;
    std::vector<SearchResult> run(const std::vector<Root>& roots) const;

private:
    void add_roots(const SharedPtr<TreeEntry>& node, std::vector<Root>& out) const;
};

}  // namespace tovan
