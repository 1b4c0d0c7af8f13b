#include "engine/scan/Scanner.h"

#include <algorithm>
#include <chrono>

#include "engine/catalog/CatalogLock.h"
#include "engine/connection/Protocols.h"
#include "engine/scan/CheckRequest.h"
#include "engine/scan/ScanRequest.h"
#include "engine/scan/ScanThread.h"
#include "tovan/ProfilerScope.h"
#include "tovan/log/FailureRecord.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

// Whether the request works on this folder: the same entry, or one with the
// same path and name (a catalog loaded again holds other entries).
bool targets(const Request& request, const Entry& folder) {
    const SharedPtr<Entry> target = request.target();
    if (!target)
        return false;
    if (target.get() == &folder)
        return true;
    return target->name() == folder.name() && target->full_path() == folder.full_path();
}

}  // namespace

Scanner::Scanner(SharedPtr<Server> server, const ScanOptions& options, InternetSession* session)
    : connections_limit_(server->connections_limit()),
      server_(std::move(server)),
      options_(options),
      session_(session != nullptr ? *session : InternetSession::shared()) {}

Scanner::~Scanner() {
    hold_ = false;
    stop();
    std::unique_lock guard(threads_lock_);
    threads_gone_.wait_for(guard, std::chrono::milliseconds(2'500'000),
                           [this] { return threads_.empty(); });
}

void Scanner::scan(const SharedPtr<Entry>& folder, bool known_online) {
    const ProfilerScope profile("Scanner::scan");
    if (!known_online && !has_no_threads())
        return;
    server_->set_last_error("");
    check_only_ = false;
    if (!known_online && has_no_threads())
        set_online(false);
    {
        std::lock_guard guard(threads_lock_);
        if (connections_limit_ != 0 && known_online) {
            while (threads_.size() < connections_limit_ && start_thread_locked()) {
            }
        } else if (threads_.empty()) {
            start_thread_locked();
        }
    }
    if (folder) {
        std::int32_t depth = server_->effective_scan_depth(*folder);
        if (depth == Server::NoScan)
            depth = 1;  // a folder the user chose is listed at least once
        std::int32_t estimate;
        {
            const ProfilerScope count("Scanner::theoretic_scan_n_requests()");
            estimate = count_subtree(*folder, depth, true);
        }
        expected_total_ += estimate;
        remove_request(folder.get());
        push(make_shared<ScanRequest>(folder, depth, false, false), true, estimate);
    }
    push(make_shared<CheckRequest>(server_->root()), false, 1);
    expected_total_ += 1;
}

void Scanner::check() {
    {
        std::lock_guard guard(threads_lock_);
        if (!threads_.empty())
            return;
        set_online(false);
        check_only_ = true;
        start_thread_locked();
    }
    push(make_shared<CheckRequest>(server_->root()), true, 1);
}

void Scanner::stop() {
    std::lock_guard guard(threads_lock_);
    stop_locked();
}

// Closes every thread's connection from here, so a thread blocked in a listing
// fails promptly instead of finishing it.
void Scanner::stop_locked() {
    if (hold_ && !threads_.empty())
        return;
    if (stopping_)
        return;
    stopping_ = true;
    for (ScanThread* thread : threads_) {
        if (thread->connection_ && thread->connection_->close_once())
            server_->log_text("disconnecting...");
        thread->request_quit();
    }
}

void Scanner::set_hold(bool hold) {
    hold_ = hold;
    if (hold)
        return;
    const bool work_left = !queue_empty() && !has_no_threads();
    if (!work_left)
        stop();
}

bool Scanner::start_thread_locked() {
    if (stopping_)
        return false;
    auto* thread = new ScanThread(*this);
    threads_.push_back(thread);
    thread->start();
    return true;
}

bool Scanner::is_online() const {
    std::lock_guard guard(done_lock_);
    return online_;
}

void Scanner::set_online(bool online) {
    std::lock_guard guard(done_lock_);
    online_ = online;
}

std::size_t Scanner::thread_count() const {
    std::lock_guard guard(threads_lock_);
    return threads_.size();
}

bool Scanner::has_no_threads() const {
    return thread_count() == 0;
}

std::size_t Scanner::request_count() const {
    std::lock_guard guard(requests_lock_);
    return requests_.size();
}

bool Scanner::queue_empty() const {
    return request_count() == 0;
}

std::uint32_t Scanner::queued_count() const {
    std::lock_guard guard(requests_lock_);
    return queued_count_;
}

bool Scanner::is_idle() const {
    std::lock_guard requests(requests_lock_);
    if (!requests_.empty())
        return false;
    std::lock_guard threads(threads_lock_);
    return std::none_of(threads_.begin(), threads_.end(),
                        [](const ScanThread* thread) { return thread->busy_; });
}

std::int64_t Scanner::remaining() const {
    std::int64_t total;
    {
        std::lock_guard guard(requests_lock_);
        total = queued_estimate_;
    }
    std::lock_guard guard(threads_lock_);
    for (const ScanThread* thread : threads_)
        if (thread->current_)
            total += thread->current_->estimate();
    return total;
}

bool Scanner::has_updated() const {
    std::lock_guard guard(updated_lock_);
    return !updated_.empty();
}

SharedPtr<Entry> Scanner::pop_updated() {
    std::lock_guard guard(updated_lock_);
    if (updated_.empty())
        return {};
    SharedPtr<Entry> entry = std::move(updated_.front());
    updated_.pop_front();
    return entry;
}

void Scanner::push_updated(const SharedPtr<Entry>& entry) {
    if (!entry)
        return;
    std::lock_guard guard(updated_lock_);
    updated_.push_back(entry);
}

bool Scanner::is_scanning(const Entry& folder) const {
    std::lock_guard guard(threads_lock_);
    return std::any_of(threads_.begin(), threads_.end(), [&](const ScanThread* thread) {
        return thread->current_ && targets(*thread->current_, folder);
    });
}

bool Scanner::is_queued(const Entry& folder) const {
    std::lock_guard requests(requests_lock_);
    for (const SharedPtr<Request>& request : requests_)
        if (targets(*request, folder))
            return true;
    std::lock_guard threads(threads_lock_);
    return std::any_of(threads_.begin(), threads_.end(), [&](const ScanThread* thread) {
        return thread->current_ && targets(*thread->current_, folder);
    });
}

void Scanner::push_front(const SharedPtr<Request>& request) {
    push(request, true, request->count_listings(*this));
}

void Scanner::push_back(const SharedPtr<Request>& request) {
    push(request, false, request->count_listings(*this));
}

void Scanner::push(const SharedPtr<Request>& request, bool front, std::int32_t estimate) {
    request->set_estimate(estimate);
    {
        std::lock_guard guard(requests_lock_);
        if (front)
            requests_.push_front(request);
        else
            requests_.push_back(request);
        ++queued_count_;
        queued_estimate_ += estimate;
    }
    wake_threads();
}

// A busy thread looks at the queue again once its request is done, so only the
// idle ones are woken: a scan queues a request for every folder, and waking all
// of up to ten threads each time kept the processors busy with the wakers.
void Scanner::wake_threads() {
    std::lock_guard guard(threads_lock_);
    for (ScanThread* thread : threads_)
        if (!thread->busy_)
            thread->wake();
}

std::deque<SharedPtr<Request>>::iterator Scanner::queued_request(const Entry* folder) {
    return std::find_if(requests_.begin(), requests_.end(),
                        [&](const auto& request) { return request->target().get() == folder; });
}

bool Scanner::prioritize(const Entry* folder) {
    std::lock_guard guard(requests_lock_);
    const auto found = queued_request(folder);
    if (found == requests_.end())
        return false;
    SharedPtr<Request> request = std::move(*found);
    requests_.erase(found);
    requests_.push_front(std::move(request));
    return true;
}

bool Scanner::remove_request(const Entry* folder) {
    std::lock_guard guard(requests_lock_);
    const auto found = queued_request(folder);
    if (found == requests_.end())
        return false;
    queued_estimate_ -= (*found)->estimate();
    requests_.erase(found);
    return true;
}

std::int32_t Scanner::theoretic_scan_n_requests(const Entry& folder, std::int32_t depth) const {
    return count_subtree(folder, depth, false);
}

std::int32_t Scanner::count_subtree(const Entry& folder, std::int32_t depth, bool keep) const {
    if (depth == 0)
        return 0;
    return count_requests(folder, server_->nearest_depth_setting(folder), keep);
}

// As theoretic_scan_n_requests, with each subfolder's effective depth taken from
// the setting nearest above it, carried down: looking each one up by climbing to
// the root folds every ancestor's path again, for every folder of the subtree.
// A rescan counts every known folder before it starts, and waiting for memory
// was nearly all of that time. So the walk goes level by level, where the
// folders to come are known and what each needs is fetched ahead of it; it keeps
// plain pointers, so it holds the catalog lock throughout, and at the end adds
// each folder's count to its parent's from the deepest level up.
std::int32_t Scanner::count_requests(const Entry& folder, Server::DepthSetting nearest,
                                     bool keep) const {
    struct Counted {
        Entry* folder;  // null for the folder counted from
        std::size_t parent;
        Server::DepthSetting setting;
        std::int32_t count = 1;
    };
    constexpr std::size_t PrefetchDistance = 4;
    CatalogGuard guard(catalog_lock());
    std::vector<Counted> folders{{nullptr, 0, nearest}};
    const auto prefetch = [&](std::size_t ahead, Entry::WalkStep step) {
        if (ahead < folders.size())
            folders[ahead].folder->prefetch_for_walk(step);
    };
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const Server::DepthSetting above = folders[i].setting;
        // A folder's block, its list of children and the children lie apart in
        // memory: fetched ahead, one step per folder, their waits overlap.
        prefetch(i + 3 * PrefetchDistance, Entry::WalkStep::Block);
        prefetch(i + 2 * PrefetchDistance, Entry::WalkStep::ChildList);
        prefetch(i + PrefetchDistance, Entry::WalkStep::FirstChildren);
        const Entry& listed = i == 0 ? folder : *folders[i].folder;
        listed.for_each_child_folder([&](const InplaceRef<Entry>& child) {
            Server::DepthSetting own{server_->scan_depth(*child), 0};
            if (own.depth == Server::DefaultDepth && above.depth != Server::DefaultDepth)
                own = {above.depth, above.climbed + 1};
            if (Server::effective_depth(own) != Server::NoScan)
                folders.push_back({child.get(), i, own});
        });
    }
    for (std::size_t i = folders.size() - 1; i > 0; --i) {
        folders[folders[i].parent].count += folders[i].count;
        if (keep)
            folders[i].folder->keep_scan_estimate(folders[i].count);
    }
    return folders.front().count;
}

// Each known folder's count from the start of the scan, taken when its request
// is queued: counting every queued folder's subtree again would visit each
// folder once for every level above it.
std::int32_t Scanner::known_folder_estimate(Entry& folder, std::int32_t depth) const {
    if (depth != 0)
        if (const std::int32_t count = folder.take_scan_estimate(); count > 0)
            return count;
    return theoretic_scan_n_requests(folder, depth);
}

SharedPtr<Connection> Scanner::connect() {
    // In automatic mode the threads probe the server one connection at a time.
    std::unique_lock<std::mutex> one_at_a_time(connect_lock_, std::defer_lock);
    if (connections_limit_ == 0)
        one_at_a_time.lock();
    ReachFailure failure;
    SharedPtr<Connection> connection =
        connector_ ? connector_() : Protocols::connect(*server_, session_, &failure);
    if (!connection) {
        // A connection more than the server takes is no failure of the server.
        if (live_connections_ == 0) {
            report_unreached(failure);
            stop();
            set_online(false);
        }
        return {};
    }
    ++live_connections_;
    if (!check_only_) {
        std::lock_guard guard(threads_lock_);
        if (connections_limit_ == 0) {
            if (threads_.size() < MaxAutomaticThreads)
                start_thread_locked();
        } else {
            while (threads_.size() < connections_limit_ && start_thread_locked()) {
            }
        }
    }
    if (stopping_) {
        --live_connections_;
        return {};
    }
    return connection;
}

// Told once, in the server's own words for the user: status, sync and the
// logs all read it from here.
void Scanner::report_unreached(const ReachFailure& failure, std::source_location location) const {
    if (failure.kind == ReachFailure::Kind::None)
        return;
    const std::string text = failure.text();
    error_log(1) << text << (failure.detail.empty() ? "" : " [" + failure.detail + "]")
                 << std::endl;
    FailureRecord::write(text.c_str(), location);
    server_->set_last_error(text);
    server_->log_text(text);
}

SharedPtr<Request> Scanner::next_request(ScanThread& thread) {
    SharedPtr<Request> request;
    {
        std::lock_guard guard(requests_lock_);
        if (requests_.empty())
            return {};
        request = std::move(requests_.front());
        requests_.pop_front();
        queued_estimate_ -= request->estimate();
        push_updated(request->target());
        std::lock_guard threads(threads_lock_);
        thread.current_ = request;
        thread.busy_ = true;
    }
    return request;
}

void Scanner::request_done(const SharedPtr<Request>& request) {
    const SharedPtr<Entry> folder = request->target();
    if (folder) {
        listed_folders_.fetch_add(1);
        listed_entries_.fetch_add(folder->child_count());
    }
    std::lock_guard guard(done_lock_);
    push_updated(folder);
    online_ = true;
}

void Scanner::finish_request(ScanThread& thread) {
    SharedPtr<Request> finished;
    std::lock_guard guard(threads_lock_);
    finished = std::move(thread.current_);
    thread.busy_ = false;
}

void Scanner::set_connection(ScanThread& thread, SharedPtr<Connection> connection) {
    std::lock_guard guard(threads_lock_);
    thread.connection_ = std::move(connection);
}

SharedPtr<Connection> Scanner::take_connection(ScanThread& thread) {
    std::lock_guard guard(threads_lock_);
    return std::move(thread.connection_);
}

void Scanner::connection_dropped() {
    --live_connections_;
}

void Scanner::remove_thread(ScanThread* thread) {
    std::lock_guard guard(threads_lock_);
    threads_.erase(std::remove(threads_.begin(), threads_.end(), thread), threads_.end());
    if (threads_.empty())
        stop_locked();
    threads_gone_.notify_all();
}

}  // namespace tovan
