#include "app/ClipboardUrl.h"

#include "app/UrlDownload.h"
#include "tovan/Blanks.h"

namespace tovan {
namespace {

// The first line that is no comment ("#" starts one in a uri-list).
std::string first_line(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = without_blanks_around(text.substr(0, end));
        if (!line.empty() && !line.starts_with('#'))
            return std::string(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return {};
}

bool is_download_url(const std::string& text) {
    return !text.empty() && UrlDownload::file_name_of(text).has_value();
}

}  // namespace

std::string ClipboardUrl::choose(const Offer& offer) {
    // Plain text counts only as a single line: a paragraph that holds a URL is not one.
    const std::string plain(without_blanks_around(offer.plain));
    const std::string candidates[] = {first_line(offer.uri_list), first_line(offer.moz_url),
                                      plain.find('\n') == std::string::npos ? plain : ""};
    for (const std::string& candidate : candidates)
        if (is_download_url(candidate))
            return candidate;
    return {};
}

}  // namespace tovan
