#include "app/Scheduler.h"

#include <memory>
#include <mutex>
#include <thread>

#include "app/CatalogFile.h"
#include "app/CatalogSaver.h"
#include "app/Document.h"
#include "app/Options.h"
#include "app/SchedulerObserver.h"
#include "app/TextFormats.h"
#include "engine/catalog/PasswordMask.h"
#include "engine/catalog/ScanFilter.h"
#include "engine/scan/Scanner.h"
#include "tovan/ProfilerScope.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

using Clock = std::chrono::steady_clock;

bool is_mark(EntryState state) {
    return state == EntryState::New || state == EntryState::Modified ||
           state == EntryState::Deleted;
}

// A scanner whose threads outlived the shut-down, with what they still reach
// that the document would otherwise free: a copy of the filter its server
// defers to.
struct Abandoned {
    SharedPtr<Scanner> scanner;
    std::unique_ptr<ScanFilter> parent_filter;
};

std::mutex abandoned_lock;
// Never released: releasing a scanner would wait for its threads after all.
auto* const abandoned = new std::vector<Abandoned>;

void abandon(SharedPtr<Scanner> scanner, const ScanFilter* parent_filter) {
    auto copy = std::make_unique<ScanFilter>();
    if (parent_filter != nullptr) {
        copy->set_masks(parent_filter->masks());
        copy->set_depths(parent_filter->depths());
    }
    scanner->server().set_parent_filter(copy.get());
    std::lock_guard guard(abandoned_lock);
    abandoned->push_back({std::move(scanner), std::move(copy)});
}

}  // namespace

Scheduler::Scheduler(Document& document, const Options& options, InternetSession* session,
                     std::int64_t now)
    : document_(document),
      options_(options),
      session_(session),
      parent_filter_(&document.filter()),
      last_sync_time_(now),
      last_status_time_(now) {}

Scheduler::~Scheduler() {
    if (!shut_down_)
        shut_down();
}

void Scheduler::tick(std::int64_t now) {
    if (options_.update_status_enabled &&
        period_due(now, last_status_time_, options_.update_status_minutes))
        update_status_all(now);
    if (options_.synchronize_enabled &&
        period_due(now, last_sync_time_, options_.synchronize_minutes))
        synchronize_all(now);
    if (!scannings_.empty())
        update_scannings();
    if (saver_ != nullptr)
        saver_->tick();
}

// Whole minutes since the last run. A clock set back restarts the period rather
// than holding the runs off until it catches up again.
bool Scheduler::period_due(std::int64_t now, std::int64_t& last, std::uint32_t minutes) {
    if (now < last)
        last = now;
    return (now - last) / 60 >= static_cast<std::int64_t>(minutes);
}

void Scheduler::synchronize_all(std::int64_t now) {
    last_sync_time_ = now;
    start_scheduled(document_.servers(), false);
}

void Scheduler::update_status_all(std::int64_t now) {
    last_status_time_ = now;
    start_scheduled(document_.servers(), true);
}

void Scheduler::start_scheduled(const SharedPtr<TreeEntry>& node, bool check_only) {
    if (!node || node->auto_sync_disabled)
        return;
    if (node->kind == TreeEntry::ServerNode) {
        start_scanning(node, {}, check_only, false);
    } else if (node->kind == TreeEntry::Group) {
        for (const SharedPtr<TreeEntry>& child : std::vector(node->children))
            start_scheduled(child, check_only);
    }
}

void Scheduler::start_scanning(const SharedPtr<TreeEntry>& node, const SharedPtr<Entry>& entry,
                               bool check_only, bool whole_server) {
    if (!node || shut_down_)
        return;
    if (node->kind == TreeEntry::Group) {
        for (const SharedPtr<TreeEntry>& child : std::vector(node->children))
            start_scanning(child, {}, check_only, whole_server);
        return;
    }
    if (node->kind != TreeEntry::ServerNode || !node->server)
        return;
    // A scanner that is winding down cannot take work; the next run makes a new one.
    if (node->scanner && (node->scanner->is_stopping() || node->scanner->has_no_threads()))
        return;
    if (!node->scanner) {
        node->scanner = make_shared<Scanner>(node->server, options_.scan_options(), session_);
        if (setup_)
            setup_(*node->scanner);
    }
    if (find_scanning(node->scanner.get()) == nullptr)
        scannings_.push_back({node, node->scanner, 0, Clock::now(), false,
                              node->scanner->listed_folders(), node->scanner->listed_entries()});
    if (check_only) {
        node->scanner->check();
        if (observer_)
            observer_->node_updated(node);
        return;
    }
    begin_scan(node, entry, whole_server);
}

void Scheduler::begin_scan(const SharedPtr<TreeEntry>& node, const SharedPtr<Entry>& entry,
                           bool whole_server) {
    Scanner& scanner = *node->scanner;
    node->server->set_parent_filter(parent_filter_);
    Scanning& record = *find_scanning(&scanner);
    record.started = Clock::now();
    record.timed = true;
    record.folders_before = scanner.listed_folders();
    record.entries_before = scanner.listed_entries();
    if (whole_server)
        scanner.scan({}, node->online);
    else
        scanner.scan(entry ? entry : node->server->root(), node->online);
    const std::int64_t remaining = scanner.remaining();
    node->remaining_requests = static_cast<std::uint32_t>(remaining);
    record.shown_remaining = remaining;
    if (observer_)
        observer_->node_updated(node);
}

Scanning* Scheduler::find_scanning(const Scanner* scanner) {
    for (Scanning& record : scannings_)
        if (record.scanner.get() == scanner)
            return &record;
    return nullptr;
}

void Scheduler::update_scannings() {
    const ProfilerScope profile("Scheduler::update_scannings");
    for (std::size_t index = 0; index < scannings_.size();) {
        if (update_scanning(index))
            remove_scanning(index);
        else
            ++index;
    }
}

bool Scheduler::update_scanning(std::size_t index) {
    // Copies: an observer may start scans, which appends to the list.
    const SharedPtr<TreeEntry> node = scannings_[index].node;
    const SharedPtr<Scanner> scanner = scannings_[index].scanner;
    if (scannings_[index].timed && !scanner->is_stopping())
        node->last_scan_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 Clock::now() - scannings_[index].started)
                                 .count();
    drain(node, *scanner);
    if (!node->online && scanner->is_online()) {
        node->online = true;
        if (observer_)
            observer_->online_changed(node);
    }
    if (!scanner->is_stopping()) {
        if (scanner->is_idle()) {
            scanner->stop();
        } else if (const std::int64_t remaining = scanner->remaining();
                   remaining != scannings_[index].shown_remaining) {
            scannings_[index].shown_remaining = remaining;
            if (observer_)
                observer_->node_updated(node);
        }
    }
    bool gone = false;
    if (scanner->is_stopping()) {
        if (observer_)
            observer_->node_updated(node);
        if (scanner->has_no_threads()) {
            finish(node, *scanner, scannings_[index].timed);
            gone = true;
        }
    }
    flush_view_updates();
    return gone;
}

// Takes what the scanner's threads delivered: changed folders for the views, and
// every marked entry for the recent changes.
void Scheduler::drain(const SharedPtr<TreeEntry>& node, Scanner& scanner) {
    while (SharedPtr<Entry> entry = scanner.pop_updated()) {
        ChangeRecord record{node->server, node, entry};
        if (entry->is_folder())
            pending_view_updates_.push_back(record);
        if (!is_mark(entry->state()))
            continue;
        record_change(record);
        if (observer_)
            observer_->change_found(record);
    }
}

void Scheduler::finish(const SharedPtr<TreeEntry>& node, Scanner& scanner, bool scanned) {
    // The threads may have delivered more after the first drain; with them gone
    // this one takes the rest, so no change goes unreported.
    drain(node, scanner);
    const bool reached = scanner.is_online();
    if (node->online && !reached) {
        node->online = false;
        if (observer_)
            observer_->online_changed(node);
    }
    if (node->scanner.get() == &scanner)
        node->scanner.reset();
    if (observer_)
        observer_->node_updated(node);
    // A status check leaves the catalog as it was: only a scan's result is saved.
    if (options_.auto_save && reached && scanned) {
        if (saver_ != nullptr)
            saver_->save(node->server);
        else
            CatalogFile::save(document_.data_folder(), *node->server);
    }
    if (observer_)
        observer_->scan_finished(node);
}

void Scheduler::flush_view_updates() {
    if (pending_view_updates_.empty())
        return;
    std::vector<ChangeRecord> folders;
    folders.swap(pending_view_updates_);
    if (observer_)
        observer_->tree_updated(folders);
}

void Scheduler::remove_scanning(std::size_t index) {
    if (index + 1 != scannings_.size())
        scannings_[index] = std::move(scannings_.back());
    scannings_.pop_back();
}

void Scheduler::stop_scanning(const TreeEntry& node) {
    if (node.kind == TreeEntry::Group) {
        for (const SharedPtr<TreeEntry>& child : node.children) stop_scanning(*child);
        return;
    }
    if (!node.scanner)
        return;
    const Scanning* record = find_scanning(node.scanner.get());
    if (record != nullptr && !record->scanner->is_stopping())
        record->scanner->stop();
}

bool Scheduler::is_saving() const {
    return saver_ != nullptr && saver_->busy();
}

bool Scheduler::is_scanning(const TreeEntry& node) const {
    if (node.kind == TreeEntry::Group) {
        for (const SharedPtr<TreeEntry>& child : node.children)
            if (is_scanning(*child))
                return true;
        return false;
    }
    return node.scanner && !node.scanner->is_stopping();
}

void Scheduler::record_change(ChangeRecord change) {
    recent_changes_.push_front(std::move(change));
    while (recent_changes_.size() > MaxRecentChanges) recent_changes_.pop_back();
}

std::string Scheduler::tray_tip(std::string_view title) const {
    if (recent_changes_.empty())
        return std::string(title.substr(0, MaxTrayTip));
    std::string tip = "Changes:";
    for (const ChangeRecord& change : recent_changes_) {
        std::string line = "\n";
        line += change_sign(change.entry->state());
        // A name may be a URL with its password, which a tip must not show.
        line += change.node ? masked_passwords(change.node->label()) : std::string();
        line += "...";
        line += change.entry->name();
        if (tip.size() + line.size() > MaxTrayTip)
            break;
        tip += line;
    }
    return tip;
}

std::size_t Scheduler::abandoned_count() {
    std::lock_guard guard(abandoned_lock);
    return abandoned->size();
}

void Scheduler::shut_down(std::chrono::milliseconds limit) {
    shut_down_ = true;
    plain_log(1) << "stop scanners" << std::endl;
    const Clock::time_point start = Clock::now();
    while (!scannings_.empty() && Clock::now() - start < limit) {
        for (Scanning& record : scannings_) {
            if (!record.scanner->is_stopping()) {
                // A scanner held for browsing would not stop at all.
                record.scanner->set_hold(false);
                record.scanner->stop();
            }
            if (record.node->scanner == record.scanner)
                record.node->scanner.reset();
        }
        for (std::size_t index = 0; index < scannings_.size();) {
            if (scannings_[index].scanner->has_no_threads())
                remove_scanning(index);
            else
                ++index;
        }
        if (!scannings_.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (Scanning& record : scannings_) {
        if (record.node->scanner == record.scanner)
            record.node->scanner.reset();
        abandon(std::move(record.scanner), parent_filter_);
    }
    scannings_.clear();
    plain_log(1) << "stop scanners complete" << std::endl;
    // None is lost: what was handed over is written before the program saves the
    // document and ends.
    if (saver_ != nullptr)
        saver_->finish();
}

}  // namespace tovan
