#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ChangeRecord.h"
#include "app/Scanning.h"
#include "engine/catalog/Entry.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class CatalogSaver;
class Document;
class InternetSession;
class Options;
class ScanFilter;
class Scanner;
class SchedulerObserver;

// Starts, advances and stops every scan and status check on behalf of the user
// interface, and runs the periodic status check and synchronization. Scanners
// work on their own threads; their results reach the front end only here, when
// the front end's one-second timer calls tick(). Every call comes from that one
// thread. Times are seconds since 1970, given by the caller so that tests can
// run the periods on a clock of their own.
class Scheduler {
public:
    static constexpr std::size_t MaxRecentChanges = 20;
    static constexpr std::size_t MaxTrayTip = 127;
    static constexpr std::chrono::milliseconds StopScannersLimit{5000};

    // Both periods start now. session: where FTP connections are made (none: the
    // shared one).
    Scheduler(Document& document, const Options& options, InternetSession* session,
              std::int64_t now);
    // Stops the scanners as shut_down() does, unless it ran.
    ~Scheduler();
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    void set_observer(SchedulerObserver* observer) { observer_ = observer; }
    // The filter every scanned server's own filter defers to; the document's by default.
    void set_parent_filter(const ScanFilter* filter) { parent_filter_ = filter; }
    // Where a scanned catalog is saved: on the saver's thread; without one, on the
    // calling thread inside tick(). The saver outlives the scheduler.
    void set_saver(CatalogSaver* saver) { saver_ = saver; }
    // Called with each new scanner before it starts, so tests can stand in for a
    // server that hangs.
    void set_scanner_setup(std::function<void(Scanner&)> setup) { setup_ = std::move(setup); }

    // The timer's work: the periodic runs that are due, then update_scannings().
    void tick(std::int64_t now);

    // Scans (or checks) a server node, or every server below a group. entry: the
    // folder to scan from (none: the root). whole_server: only the server's status
    // is queued.
    void start_scanning(const SharedPtr<TreeEntry>& node, const SharedPtr<Entry>& entry,
                        bool check_only, bool whole_server);
    // The periodic runs: every server not excluded from automatic synchronization.
    void synchronize_all(std::int64_t now);
    void update_status_all(std::int64_t now);
    // Drains every scanner's results, ends scanners with nothing left to do and
    // drops those whose threads are gone.
    void update_scannings();
    // Asks the node's scanner, or for a group those of every node below, to stop.
    void stop_scanning(const TreeEntry& node);

    bool has_running() const { return !scannings_.empty(); }
    // Whether a scanned catalog is still being saved.
    bool is_saving() const;
    // Whether the node, or a server below it, has a scanner that is not stopping.
    bool is_scanning(const TreeEntry& node) const;
    const std::vector<Scanning>& scannings() const { return scannings_; }

    // Newest first, at most MaxRecentChanges.
    const std::deque<ChangeRecord>& recent_changes() const { return recent_changes_; }
    void record_change(ChangeRecord change);
    void clear_recent_changes() { recent_changes_.clear(); }
    // The notification icon's tip: "Changes:" and a line per recent change, newest
    // first, as many as fit in MaxTrayTip characters; the title when there is none.
    std::string tray_tip(std::string_view title) const;

    std::int64_t last_sync_time() const { return last_sync_time_; }
    std::int64_t last_status_time() const { return last_status_time_; }

    // Asks every scanner to stop and waits for their threads, at most limit.
    // Scanners still running then are left to end on their own; nothing waits for
    // them any more, and they keep what they reach alive except the document and
    // the internet session (see abandoned_count). Logs "stop scanners" and "stop
    // scanners complete". Then waits for the saves of scanned catalogs.
    void shut_down(std::chrono::milliseconds limit = StopScannersLimit);
    // How many scanners of this process were left running by a shut-down. While
    // any is, the program must not free the document or the session: it ends
    // without destroying them.
    static std::size_t abandoned_count();

private:
    static bool period_due(std::int64_t now, std::int64_t& last, std::uint32_t minutes);
    void start_scheduled(const SharedPtr<TreeEntry>& node, bool check_only);
    Scanning* find_scanning(const Scanner* scanner);
    void begin_scan(const SharedPtr<TreeEntry>& node, const SharedPtr<Entry>& entry,
                    bool whole_server);
    // One record's share of update_scannings(); true when the record is to go.
    bool update_scanning(std::size_t index);
    void drain(const SharedPtr<TreeEntry>& node, Scanner& scanner);
    void finish(const SharedPtr<TreeEntry>& node, Scanner& scanner, bool scanned);
    void flush_view_updates();
    void remove_scanning(std::size_t index);

    Document& document_;
    const Options& options_;
    InternetSession* session_;
    const ScanFilter* parent_filter_;
    SchedulerObserver* observer_ = nullptr;
    CatalogSaver* saver_ = nullptr;
    std::function<void(Scanner&)> setup_;
    std::vector<Scanning> scannings_;
    std::int64_t last_sync_time_;
    std::int64_t last_status_time_;
    std::deque<ChangeRecord> recent_changes_;
    std::vector<ChangeRecord> pending_view_updates_;
    bool shut_down_ = false;
};

}  // namespace tovan
