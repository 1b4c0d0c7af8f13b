#include "engine/scan/ScanRequest.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "engine/catalog/ListingMerge.h"
#include "engine/scan/Scanner.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

// What the merge finds goes back to the scanner: marked items to refresh,
// subfolders to list next (at the front, so the scan runs depth first).
class ScanListener : public MergeListener {
public:
    explicit ScanListener(Scanner& scanner) : scanner_(scanner) {}

    void marked(const SharedPtr<Entry>& item) override { scanner_.push_updated(item); }

    void subfolder_found(const SharedPtr<Entry>& folder, std::int32_t depth,
                         bool new_folder) override {
        scanner_.push_front(make_shared<ScanRequest>(folder, depth, new_folder, false));
    }

private:
    Scanner& scanner_;
};

// Room for a typical folder's items at once, instead of growing a step at a time.
constexpr std::size_t ExpectedItems = 64;

// At most this many of a folder's unreadable lines go to the server's short log.
constexpr std::size_t LoggedLines = 10;

// The folder's entries the listing could not show stay as they were; the user learns why
// from the scan's error and the lines themselves from the server's log.
void report_unreadable(Server& server, const Entry& folder, const std::vector<std::string>& lines) {
    const std::string path = folder.full_path();
    for (std::size_t i = 0; i < std::min(lines.size(), LoggedLines); ++i)
        server.log_text("unreadable line in " + path + ": " + lines[i]);
    const std::string count =
        std::to_string(lines.size()) + (lines.size() == 1 ? " line" : " lines");
    const std::string text = "the listing of " + path + " was partly unreadable (" + count +
                             ", see the server's log); entries it did not show were kept";
    warning_log(1) << text << std::endl;
    server.set_last_error(text);
    server.log_text(text);
}

std::int32_t depth_below(std::int32_t depth) {
    return depth >= 1 && depth <= 6 ? depth - 1 : depth;
}

}  // namespace

ScanRequest::ScanRequest(SharedPtr<Entry> folder, std::int32_t depth, bool new_folder, bool single)
    : folder_(std::move(folder)), depth_(depth), new_folder_(new_folder), single_(single) {}

std::int32_t ScanRequest::count_listings(const Scanner& scanner) const {
    if (single_)
        return 1;
    // A new folder's entry may sit where a folder gone since the scan began was.
    return new_folder_ ? scanner.theoretic_scan_n_requests(*folder_, depth_)
                       : scanner.known_folder_estimate(*folder_, depth_);
}

bool ScanRequest::run(Scanner& scanner, SharedPtr<Connection>& connection) {
    const auto start = std::chrono::steady_clock::now();
    const SharedPtr<FileFinder> finder = connection->create_finder();
    if (!finder || scanner.is_stopping())
        return false;
    // The thread's listing keeps its room for the thread's next folders.
    thread_local Listing listing;
    listing.clear();
    if (!list(scanner, *finder, listing))
        return false;

    ScanListener listener(scanner);
    ListingMerge merge(scanner.server(), scanner.options(), std::time(nullptr), listener);
    if (const std::vector<std::string> lines = finder->take_unreadable_lines(); !lines.empty()) {
        report_unreadable(scanner.server(), *folder_, lines);
        merge.keep_missing_items();
    }
    merge.merge_listing(*folder_, listing, depth_below(depth_), new_folder_, single_);

    const auto elapsed = std::chrono::steady_clock::now() - start;
    folder_->set_last_listing_ms(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    return true;  // the scanner tells the folder updated once the request is done
}

// Fills the listing with the folder's items (none when the folder cannot be
// listed); false when a stop came first: none of it may reach the catalog.
bool ScanRequest::list(Scanner& scanner, FileFinder& finder, Listing& listing) {
    if (!finder.find_file(*folder_))
        return true;
    listing.reserve(ExpectedItems);
    for (bool more = true; more;) {
        if (scanner.is_stopping())
            return false;
        more = finder.list_next(listing);
    }
    return true;
}

}  // namespace tovan
