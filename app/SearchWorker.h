#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/Search.h"
#include "app/SearchResult.h"

namespace tovan {

// A search on a thread of its own, so that the window stays responsive on a
// catalog of millions and the user can stop it. Results wait in a locked queue
// until the window takes them on its timer; the thread never touches a window.
class SearchWorker {
public:
    // Starts at once over the roots, which the caller collected from the tree.
    SearchWorker(Search search, std::vector<Search::Root> roots);
    SearchWorker(const SearchWorker&) = delete;
    SearchWorker& operator=(const SearchWorker&) = delete;

    // Asks the search to end soon; results already queued stay.
    void stop() { thread_.request_stop(); }
    // Waits for the thread to end; its last results are then queued.
    void wait();
    // The results found since the last call, in order.
    std::vector<SearchResult> take();
    // True once the thread queued its last results; take() then empties the queue.
    bool finished() const;
    // Why the search failed, empty when it did not.
    std::string failure() const;

private:
    void run(std::stop_token stop);
    void queue(std::vector<SearchResult>&& batch);

    const Search search_;
    const std::vector<Search::Root> roots_;
    mutable std::mutex mutex_;
    std::vector<SearchResult> queued_;  // guarded by mutex_
    bool finished_ = false;             // guarded by mutex_
    std::string failure_;               // guarded by mutex_
    // Last: starts after the rest is made, and going first asks the search to
    // stop and waits for it.
    std::jthread thread_;
};

}  // namespace tovan
