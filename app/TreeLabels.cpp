#include "app/TreeLabels.h"

#include <algorithm>
#include <sstream>

#include "app/Options.h"
#include "engine/catalog/PasswordMask.h"
#include "engine/catalog/Server.h"
#include "engine/scan/Scanner.h"

namespace tovan {

ScanProgress ScanProgress::of(const TreeEntry& node) {
    ScanProgress progress;
    const SharedPtr<Scanner> scanner = node.scanner;
    if (!scanner)
        return progress;
    progress.running = true;
    progress.stopping = scanner->is_stopping();
    progress.threads = scanner->thread_count();
    progress.total = scanner->expected_total();
    progress.remaining = scanner->remaining();
    return progress;
}

std::string TreeLabels::depth_text(std::int32_t depth) {
    if (depth == Server::FullScan)
        return "inf";
    if (depth >= 0 && depth <= 6)
        return std::to_string(depth);
    return "error";
}

std::string TreeLabels::seconds(std::int64_t ms) {
    std::ostringstream text;
    text << static_cast<double>(ms) * 0.001;
    return text.str();
}

std::string TreeLabels::scan_text(const ScanProgress& scan, bool online) {
    if (!scan.running)
        return {};
    const std::string threads = std::to_string(scan.threads);
    if (scan.stopping)
        return "(t: " + threads + ")";
    if (!online)
        return "[?]";
    if (scan.total == 0)
        return {};
    const std::int64_t total = scan.total;
    const std::int64_t done = std::clamp<std::int64_t>(total - scan.remaining, 0, total);
    const std::int64_t percent = done * 100 / total;
    if (percent >= 100)
        return scan.threads >= 2 ? "[t: " + threads + "]" : std::string();
    std::string text = "[";
    if (scan.threads > 1)
        text += "t: " + threads + ". ";
    return text + std::to_string(percent) + "%]";
}

std::string TreeLabels::node_label(const TreeEntry& node, const ScanProgress& scan,
                                   const Options& options) {
    const SharedPtr<Server> server = node.server;
    const SharedPtr<Entry> root = server ? server->root() : SharedPtr<Entry>();
    std::string label;
    if (options.show_scan_depth && root)
        label += "[" + depth_text(server->effective_scan_depth(*root)) + "]";
    label += masked_passwords(node.kind == TreeEntry::Downloads && node.name.empty()
                                  ? std::string("Downloads")
                                  : node.label());
    if (node.kind == TreeEntry::Group)
        label += "(" + std::to_string(node.online_count()) + "/" +
                 std::to_string(node.server_count()) + ")";
    else if (node.kind == TreeEntry::Downloads)
        label += "(" + std::to_string(node.children.size()) + ")";
    label += scan_text(scan, node.online);
    if (options.show_scan_time && root)
        label += "[" + seconds(server->recursive_last_scan_time(*root)) + "s][" +
                 seconds(node.last_scan_ms) + "s]";
    return label;
}

std::string TreeLabels::folder_label(const Server& server, const Entry& folder,
                                     const Options& options) {
    std::string label;
    if (options.show_scan_depth)
        label += "[" + depth_text(server.effective_scan_depth(folder)) + "]";
    if (options.show_scan_time)
        label += "[" + seconds(server.recursive_last_scan_time(folder)) + "s]";
    return label + std::string(folder.name());
}

}  // namespace tovan
