#include "app/SearchWorker.h"

#include <exception>
#include <iterator>

#include "tovan/log/LogChannels.h"

namespace tovan {

SearchWorker::SearchWorker(Search search, std::vector<Search::Root> roots)
    : search_(std::move(search)),
      roots_(std::move(roots)),
      thread_([this](std::stop_token stop) { run(std::move(stop)); }) {}

void SearchWorker::wait() {
    if (thread_.joinable())
        thread_.join();
}

std::vector<SearchResult> SearchWorker::take() {
    std::vector<SearchResult> taken;
    const std::lock_guard<std::mutex> lock(mutex_);
    taken.swap(queued_);
    return taken;
}

bool SearchWorker::finished() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return finished_;
}

std::string SearchWorker::failure() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return failure_;
}

void SearchWorker::run(std::stop_token stop) {
    std::string failure;
    try {
        search_.run(
            roots_, [this](std::vector<SearchResult>&& batch) { queue(std::move(batch)); },
            std::move(stop));
    } catch (const std::exception& error) {
        failure = error.what();
        error_log(1) << "search: " << failure << std::endl;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    failure_ = std::move(failure);
    finished_ = true;
}

void SearchWorker::queue(std::vector<SearchResult>&& batch) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (queued_.empty())
        queued_ = std::move(batch);
    else
        queued_.insert(queued_.end(), std::make_move_iterator(batch.begin()),
                       std::make_move_iterator(batch.end()));
}

}  // namespace tovan
