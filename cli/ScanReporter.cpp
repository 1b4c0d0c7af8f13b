#include "cli/ScanReporter.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "app/Scheduler.h"
#include "app/TextFormats.h"
#include "app/TimeText.h"
#include "cli/ChangeText.h"
#include "cli/NodeFinder.h"

namespace tovan::cli {

void ScanReporter::change_found(const ChangeRecord& change) {
    progress_.clear();
    const nlohmann::json record = ChangeText::record(*change.node, *change.entry,
                                                     static_cast<std::int64_t>(std::time(nullptr)));
    output_.result(record, ChangeText::line(*change.node, *change.entry));
    ++change_count_;
    if (on_change_)
        on_change_->add(record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

void ScanReporter::set_on_change(const std::string& command) {
    on_change_ = command.empty() ? nullptr : std::make_unique<ChangeHook>(command);
}

void ScanReporter::node_updated(const SharedPtr<TreeEntry>&) {
    show_progress();
}

// "scanning media and 1 more: 120 folders, 45000 entries, 3000/s, 0:15, 40
// listings left".
void ScanReporter::show_progress() {
    if (on_change_)
        on_change_->report();
    const auto& scannings = scheduler_.scannings();
    if (scannings.empty()) {
        progress_.clear();
        return;
    }
    std::int64_t remaining = 0;
    std::uint64_t folders = 0, entries = 0;
    auto started = scannings.front().started;
    for (const Scanning& each : scannings) {
        remaining += each.scanner->remaining();
        folders += each.scanner->listed_folders() - each.folders_before;
        entries += each.scanner->listed_entries() - each.entries_before;
        started = std::min(started, each.started);
    }
    const auto elapsed_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - started)
                                .count();
    const std::uint64_t rate =
        elapsed_ms > 0 ? entries * 1000 / static_cast<std::uint64_t>(elapsed_ms) : 0;
    const std::string first = NodeFinder::bare_label(*scannings.front().node);
    progress_.show(
        "scanning " + first +
        (scannings.size() > 1 ? " and " + std::to_string(scannings.size() - 1) + " more" : "") +
        ": " + std::to_string(folders) + " folders, " + std::to_string(entries) + " entries, " +
        std::to_string(rate) + "/s, " + duration_text(elapsed_ms / 1000) + ", " +
        std::to_string(remaining) + " listings left");
}

// A status check ends quietly; only a scan has something to tell. The ending
// scanner's record is still listed while its end is reported.
bool ScanReporter::was_scan(const TreeEntry& node) const {
    for (const Scanning& each : scheduler_.scannings())
        if (each.node.get() == &node)
            return each.timed;
    return false;
}

void ScanReporter::scan_finished(const SharedPtr<TreeEntry>& node) {
    if (on_change_)
        on_change_->run();
    std::erase(unreached_, node);
    std::erase(scanned_in_part_, node);
    if (!node->online)
        unreached_.push_back(node);
    else if (!node->server->last_error().empty() && was_scan(*node))
        scanned_in_part_.push_back(node);
    show_progress();
    if (!notes_ || !was_scan(*node))
        return;
    progress_.clear();
    const std::string name = NodeFinder::bare_label(*node);
    if (!node->online) {
        const std::string error = NodeFinder::error_text(*node);
        Output::note(name + " can't be reached" + (error.empty() ? "" : ": " + error));
        return;
    }
    CatalogStats stats;
    node->server->statistics(stats);
    Output::note("scanned " + name + ": " + std::to_string(stats.folders) + " folders, " +
                 std::to_string(stats.files) + " files, " +
                 size_text(static_cast<std::int64_t>(stats.current_size)));
    // A scan that went through may still have met trouble, such as a listing
    // with lines it could not read.
    if (const std::string error = NodeFinder::error_text(*node); !error.empty())
        Output::note(name + ": " + error);
}

}  // namespace tovan::cli
