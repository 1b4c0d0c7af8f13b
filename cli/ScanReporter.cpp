#include "cli/ScanReporter.h"

#include "app/Scheduler.h"
#include "app/TextFormats.h"
#include "cli/ChangeText.h"
#include "cli/NodeFinder.h"

namespace tovan::cli {

void ScanReporter::change_found(const ChangeRecord& change) {
    progress_.clear();
    const nlohmann::json record = ChangeText::record(*change.node, *change.entry);
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

void ScanReporter::show_progress() {
    if (on_change_)
        on_change_->report();
    const auto& scannings = scheduler_.scannings();
    if (scannings.empty()) {
        progress_.clear();
        return;
    }
    std::int64_t remaining = 0;
    for (const Scanning& each : scannings) remaining += each.scanner->remaining();
    const std::string first = NodeFinder::bare_label(*scannings.front().node);
    progress_.show(
        "scanning " + first +
        (scannings.size() > 1 ? " and " + std::to_string(scannings.size() - 1) + " more" : "") +
        ": " + std::to_string(remaining) + " listings left");
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
        const std::string error = node->server->last_error();
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
    if (const std::string error = node->server->last_error(); !error.empty())
        Output::note(name + ": " + error);
}

}  // namespace tovan::cli
