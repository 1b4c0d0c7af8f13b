#include "engine/ftp/FtpFileFinder.h"

#include <cctype>
#include <ctime>
#include <source_location>
#include <utility>

#include "engine/connection/ServerRefusal.h"
#include "tovan/log/FailureRecord.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

[[noreturn]] void disconnected(std::source_location location = std::source_location::current()) {
    error_log(1) << "disconnected" << std::endl;
    FailureRecord::write("disconnected", location);
    throw Exception("disconnected");
}

// FTP answers a missing folder and a forbidden one alike with 550; only the
// server's words tell them apart.
ReachFailure::Kind refusal_kind(const std::string& reply) {
    std::string lower = reply;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool denied =
        lower.find("denied") != std::string::npos || lower.find("permission") != std::string::npos;
    return denied ? ReachFailure::Kind::AccessDenied : ReachFailure::Kind::Missing;
}

[[noreturn]] void refused(const std::string& path, const std::string& host,
                          const FtpHandle::Listing& listing,
                          std::source_location location = std::source_location::current()) {
    const std::string reply =
        listing.reply_line.empty() ? std::to_string(listing.reply) : listing.reply_line;
    const std::string text =
        ReachFailure(refusal_kind(reply), "the folder " + path + " of " + host, host).text();
    error_log(1) << text << ": " << reply << std::endl;
    FailureRecord::write(text.c_str(), location);
    throw ServerRefusal(text);
}

}  // namespace

bool FtpFileFinder::find_file(const Entry& folder) {
    items_.clear();
    unreadable_.clear();
    next_ = 0;
    const std::string path = folder.full_path();
    const FtpHandle::Listing listing = handle_->list(path);
    // A listing that needed a new control connection means the old one was lost.
    if (listing.reconnected)
        disconnected();
    if (listing.refused)
        refused(path, handle_->host(), listing);
    if (!listing.ok) {
        error_log(1) << "listing " << path << ": " << listing.error << std::endl;
        disconnected();
    }
    const auto rejected = [&](std::string_view name) {
        warning_log(1) << "skipped a name with \"/\" or a NUL in " << path << ": " << name
                       << std::endl;
    };
    const auto unreadable = [&](std::string_view line) { unreadable_.emplace_back(line); };
    for (const FtpListItem& listed : parse_listing(listing.body, handle_->uses_mlsd(),
                                                   std::time(nullptr), rejected, unreadable))
        items_.push_back(make_item(listed, folder));
    return true;
}

SharedPtr<Entry> FtpFileFinder::make_item(const FtpListItem& listed, const Entry& folder) const {
    if (listed.folder)
        return Entry::create_folder(listed.name, listed.time);
    std::int64_t time = listed.time;
    if (!handle_->uses_mlsd()) {
        const SharedPtr<Entry> known = folder.find_child(listed.name);
        if (known && !known->is_folder() && known->size() == listed.size &&
            times_agree(known->time(), listed))
            time = known->time();
    }
    return Entry::create_file(listed.name, listed.link ? 0 : listed.size, time);
}

std::vector<std::string> FtpFileFinder::take_unreadable_lines() {
    return std::exchange(unreadable_, {});
}

bool FtpFileFinder::find_next(SharedPtr<Entry>& item) {
    if (next_ < items_.size())
        item = std::move(items_[next_++]);
    return next_ < items_.size();
}

}  // namespace tovan
