#include "engine/catalog/PasswordMask.h"

namespace tovan {

namespace {

// The end of a URL's authority: the first "/", "?", "#" or blank after "://".
std::size_t authority_end(std::string_view text, std::size_t start) {
    const std::size_t end = text.find_first_of("/?# \t\r\n\"'<>", start);
    return end == std::string_view::npos ? text.size() : end;
}

}  // namespace

std::string masked_passwords(std::string_view text) {
    std::string masked;
    std::size_t copied = 0;
    for (std::size_t scheme = text.find("://"); scheme != std::string_view::npos;
         scheme = text.find("://", scheme + 3)) {
        const std::size_t start = scheme + 3;
        const std::size_t end = authority_end(text, start);
        // The last "@" ends the user information: a password may hold "@" itself.
        const std::size_t at = text.substr(start, end - start).rfind('@');
        if (at == std::string_view::npos)
            continue;
        const std::size_t colon = text.substr(start, at).find(':');
        if (colon == std::string_view::npos)
            continue;
        masked.append(text, copied, start + colon + 1 - copied);
        masked += MaskedPassword;
        copied = start + at;
    }
    masked.append(text, copied);
    return masked;
}

}  // namespace tovan
