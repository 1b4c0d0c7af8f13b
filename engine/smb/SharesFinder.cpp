#include "engine/smb/SharesFinder.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <vector>

#include "engine/smb/SmbErrorText.h"
#include "engine/smb/SmbPath.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

using Clock = std::chrono::steady_clock;

long long elapsed_ms(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// "host:port" keeps its port apart; an IPv6 address has more than one colon.
std::pair<std::string, std::string> split_port(const std::string& host) {
    const std::size_t colon = host.find(':');
    if (colon == std::string::npos || host.find(':', colon + 1) != std::string::npos)
        return {host, {}};
    return {host.substr(0, colon), host.substr(colon)};
}

std::string numeric_address(const addrinfo& found) {
    char text[INET6_ADDRSTRLEN] = {};
    if (::getnameinfo(found.ai_addr, found.ai_addrlen, text, sizeof text, nullptr, 0,
                      NI_NUMERICHOST) != 0)
        return {};
    return text;
}

bool is_disk_share(const smbc_dirent& share) {
    const std::string_view name(share.name);
    return share.smbc_type == SMBC_FILE_SHARE && !name.empty() && !name.ends_with('$');
}

}  // namespace

std::string SharesFinder::look_up(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(split_port(host).first.c_str(), nullptr, &hints, &found) != 0)
        return {};
    std::vector<std::string> v4;
    std::vector<std::string> v6;
    for (const addrinfo* at = found; at != nullptr; at = at->ai_next) {
        const std::string address = numeric_address(*at);
        if (!address.empty())
            (at->ai_family == AF_INET ? v4 : v6).push_back(address);
    }
    ::freeaddrinfo(found);
    std::string addresses;
    for (const std::vector<std::string>* list : {&v4, &v6})
        for (const std::string& address : *list)
            addresses += (addresses.empty() ? "" : ",") + address;
    return addresses;
}

// The host's first IPv4 address with its port, so libsmbclient never falls back
// to NetBIOS broadcasts for a name the resolver knows. A name that resolves to
// nothing, or to IPv6 only, is handed over as written.
std::string SharesFinder::address_of(const std::string& host) const {
    if (host.empty() || (host.front() >= '0' && host.front() <= '9'))
        return host;
    const std::string addresses = look_up(host);
    const std::string first = addresses.substr(0, addresses.find(','));
    if (first.empty() || first.find(':') != std::string::npos) {
        plain_log(1) << "no IPv4 address found for " << host << std::endl;
        return host;
    }
    return first + split_port(host).second;
}

bool SharesFinder::find_file(const Entry& folder) {
    shares_.clear();
    error_ = 0;
    const SmbPath place = SmbPath::read(folder.full_path());
    const std::string url = place.url(address_of(place.host));
    context_->use_login_of(place.host);

    const Clock::time_point start = Clock::now();
    SMBCFILE* listing = context_->open_folder(url);
    const int error = errno;
    plain_log(1) << "smbc_opendir(" << url << "). takes " << elapsed_ms(start) << "ms" << std::endl;
    if (listing == nullptr) {
        error_ = error;
        plain_log(1) << smb_error_line(error) << std::endl;
        return false;
    }
    const bool found = read_shares(listing, url);
    context_->close_folder(listing);
    return found;
}

bool SharesFinder::read_shares(SMBCFILE* listing, const std::string& url) {
    const Clock::time_point start = Clock::now();
    while (const smbc_dirent* share = context_->read_share(listing))
        if (is_disk_share(*share))
            shares_.emplace_back(share->name);
    plain_log(1) << "smbc_readdir(" << url << "). takes " << elapsed_ms(start) << "ms" << std::endl;
    if (shares_.empty()) {
        error_ = ENODATA;
        plain_log(1) << smb_error_line(ENODATA) << std::endl;
    }
    return !shares_.empty();
}

bool SharesFinder::find_next(SharedPtr<Entry>& item) {
    if (shares_.empty())
        return false;
    item = Entry::create_folder(shares_.front());
    shares_.pop_front();
    return !shares_.empty();
}

}  // namespace tovan
