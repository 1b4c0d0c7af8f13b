#include "app/gui/NetworkListing.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "engine/catalog/Entry.h"
#include "engine/smb/NetworkFileFinder.h"
#include "engine/smb/SmbContext.h"

namespace tovan {

NetworkListing::NetworkListing(std::string host, std::string path)
    : context_(make_shared<SmbContext>()) {
    thread_ = std::thread([this, place = "\\\\" + host + path] { list(place); });
}

NetworkListing::~NetworkListing() {
    context_->cancel();
    thread_.join();
}

std::optional<NetworkListing::Result> NetworkListing::take() {
    std::lock_guard guard(lock_);
    return std::exchange(result_, std::nullopt);
}

void NetworkListing::list(const std::string& place) {
    SharedPtr<Entry> folder = Entry::create_folder("");
    folder->set_path(place);
    NetworkFileFinder finder(context_);
    Result result;
    if (finder.find_file(*folder)) {
        for (bool more = true; more;) {
            SharedPtr<Entry> item;
            more = finder.find_next(item);
            if (item && item->is_folder())
                result.folders.emplace_back(item->name());
        }
        std::sort(result.folders.begin(), result.folders.end());
    } else {
        result.error = finder.error() != 0 ? finder.error() : ENOENT;
    }
    std::lock_guard guard(lock_);
    result_ = std::move(result);
}

}  // namespace tovan
