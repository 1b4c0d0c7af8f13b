#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <source_location>

#include "engine/catalog/Entry.h"
#include "engine/catalog/ScanOptions.h"
#include "engine/catalog/Server.h"
#include "engine/connection/Connection.h"
#include "engine/curl/InternetSession.h"
#include "engine/scan/Request.h"
#include "tovan/AdaptiveMutex.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class ScanThread;

// Drives every scan or status check of one server: a queue of requests, worker
// threads that take them over connections of their own, progress counters, the
// online flag as far as this scan proved it, and a queue of catalog entries whose
// display must be refreshed. The user interface polls it on its timer.
//
// Locks, in the order they may nest: requests, then threads; requests or done,
// then updated; connect, then threads. The catalog lock comes inside them all.
class Scanner {
public:
    static constexpr std::uint32_t MaxAutomaticThreads = 10;

    using Connector = std::function<SharedPtr<Connection>()>;

    // session: where FTP connections are made; none: the shared one.
    Scanner(SharedPtr<Server> server, const ScanOptions& options,
            InternetSession* session = nullptr);
    ~Scanner();
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;

    // Scans the folder (none: only checks the server). Ignored while a server not
    // known to be online is being scanned.
    void scan(const SharedPtr<Entry>& folder, bool known_online);
    // Checks whether the server is online; nothing while threads run.
    void check();
    void stop();
    // While held, stop() keeps threads connected for on-demand listings.
    void set_hold(bool hold);

    bool is_stopping() const { return stopping_.load(); }
    bool is_online() const;
    std::size_t thread_count() const;
    bool has_no_threads() const;
    std::size_t request_count() const;
    bool queue_empty() const;
    std::uint32_t queued_count() const;
    std::uint32_t expected_total() const { return expected_total_.load(); }
    bool is_idle() const;
    // Listings still to come: the progress numerator.
    std::int64_t remaining() const;
    // Folders listed since the scanner was made, and the entries those listings
    // held: what a progress line counts as done.
    std::uint64_t listed_folders() const { return listed_folders_.load(); }
    std::uint64_t listed_entries() const { return listed_entries_.load(); }

    bool has_updated() const;
    SharedPtr<Entry> pop_updated();
    void push_updated(const SharedPtr<Entry>& entry);

    bool is_scanning(const Entry& folder) const;
    bool is_queued(const Entry& folder) const;
    void push_front(const SharedPtr<Request>& request);
    void push_back(const SharedPtr<Request>& request);
    // Moves the first queued request for the folder to the front; false if none.
    bool prioritize(const Entry* folder);
    bool remove_request(const Entry* folder);

    std::int32_t theoretic_scan_n_requests(const Entry& folder, std::int32_t depth) const;
    // The same for a known folder that a running scan queues: the count kept for
    // it when the scan started, else counted now.
    std::int32_t known_folder_estimate(Entry& folder, std::int32_t depth) const;

    // Replaces how threads open connections (the server's connect); call before
    // the first scan. Tests use it to stand in for servers that misbehave.
    void set_connector(Connector connector) { connector_ = std::move(connector); }

    Server& server() const { return *server_; }
    const ScanOptions& options() const { return options_; }
    std::uint32_t delay() const { return server_->delay(); }

private:
    friend class ScanThread;

    // For scan threads.
    SharedPtr<Connection> connect();
    void report_unreached(const ReachFailure& failure,
                          std::source_location location = std::source_location::current()) const;
    SharedPtr<Request> next_request(ScanThread& thread);
    void request_done(const SharedPtr<Request>& request);
    void finish_request(ScanThread& thread);
    void set_connection(ScanThread& thread, SharedPtr<Connection> connection);
    SharedPtr<Connection> take_connection(ScanThread& thread);
    void connection_dropped();
    void remove_thread(ScanThread* thread);

    bool start_thread_locked();
    void stop_locked();
    // With keep, every subfolder keeps its count until its request is queued.
    std::int32_t count_subtree(const Entry& folder, std::int32_t depth, bool keep) const;
    std::int32_t count_requests(const Entry& folder, Server::DepthSetting nearest, bool keep) const;

    void push(const SharedPtr<Request>& request, bool front, std::int32_t estimate);
    void wake_threads();
    void set_online(bool online);
    // The first queued request for the folder; call with requests_lock_ held.
    std::deque<SharedPtr<Request>>::iterator queued_request(const Entry* folder);

    // Every scan thread takes these for every folder, so a waiter spins first;
    // threads_lock_ stays a std::mutex for its condition variable.
    mutable AdaptiveMutex requests_lock_;
    mutable std::mutex connect_lock_;
    mutable std::mutex threads_lock_;
    mutable AdaptiveMutex done_lock_;
    mutable AdaptiveMutex updated_lock_;
    std::condition_variable threads_gone_;

    std::atomic<bool> hold_{false};
    std::deque<SharedPtr<Entry>> updated_;
    std::deque<ScanThread*> threads_;
    std::deque<SharedPtr<Request>> requests_;
    std::uint32_t queued_count_ = 0;
    std::int64_t queued_estimate_ = 0;
    std::atomic<bool> check_only_{false};
    bool online_ = false;
    std::atomic<bool> stopping_{false};
    std::atomic<std::int32_t> live_connections_{0};
    const std::uint32_t connections_limit_;
    std::atomic<std::uint32_t> expected_total_{0};
    std::atomic<std::uint64_t> listed_folders_{0};
    std::atomic<std::uint64_t> listed_entries_{0};
    SharedPtr<Server> server_;
    const ScanOptions options_;
    InternetSession& session_;
    Connector connector_;
};

}  // namespace tovan
