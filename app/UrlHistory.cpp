#include "app/UrlHistory.h"

#include <algorithm>

#include "engine/catalog/PasswordMask.h"

namespace tovan {
namespace {

// Scheme and authority: up to the first "/", "?" or "#" after "://".
std::string authority_part(const std::string& url) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string::npos)
        return {};
    return url.substr(0, url.find_first_of("/?#", scheme + 3));
}

}  // namespace

void UrlHistory::add(std::vector<std::string>& history, const std::string& url) {
    if (url.empty())
        return;
    std::erase(history, url);
    history.push_back(url);
    if (history.size() > Limit)
        history.erase(history.begin(), history.end() - Limit);
}

std::vector<std::string> UrlHistory::newest_first(const std::vector<std::string>& history) {
    std::vector<std::string> urls;
    std::copy_if(history.rbegin(), history.rend(), std::back_inserter(urls),
                 [](const std::string& url) { return !url.empty(); });
    return urls;
}

std::string UrlHistory::unmasked(const std::string& shown, const std::string& origin) {
    const std::string shown_part = authority_part(masked_passwords(origin));
    if (shown_part.empty() || authority_part(shown) != shown_part)
        return shown;
    return authority_part(origin) + shown.substr(shown_part.size());
}

}  // namespace tovan
