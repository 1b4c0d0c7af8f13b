#include "engine/connection/Certificate.h"

#include <cctype>

namespace tovan {
namespace {

constexpr std::size_t DigestSize = 32;
constexpr std::string_view Prefix = "SHA256:";

}  // namespace

std::string Certificate::text() const {
    return "subject " + subject + ", issuer " + issuer + ", valid " + not_before + " to " +
           not_after + ", " + fingerprint;
}

std::optional<std::string> read_fingerprint(std::string_view text) {
    if (text.size() >= Prefix.size()) {
        std::string head(text.substr(0, Prefix.size()));
        for (char& c : head) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (head == Prefix)
            text.remove_prefix(Prefix.size());
    }
    std::string digits;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        // A colon only between pairs.
        if (c == ':' && digits.size() % 2 == 0 && !digits.empty() && i + 1 < text.size() &&
            text[i - 1] != ':')
            continue;
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (digits.size() != DigestSize * 2)
        return std::nullopt;
    std::string result(Prefix);
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        if (i > 0)
            result += ':';
        result += digits.substr(i, 2);
    }
    return result;
}

std::string fingerprint_of_digest(const unsigned char* digest, std::size_t size) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string result(Prefix);
    for (std::size_t i = 0; i < size; ++i) {
        if (i > 0)
            result += ':';
        result += Hex[digest[i] >> 4];
        result += Hex[digest[i] & 0xf];
    }
    return result;
}

}  // namespace tovan
