#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovan {

// What the user needs to decide whether to trust a server's certificate.
struct Certificate {
    std::string subject;
    std::string issuer;
    std::string not_before;  // "YYYY-MM-DD HH:MM UTC"
    std::string not_after;
    std::string fingerprint;  // "SHA256:AB:CD:...", as read_fingerprint makes it

    bool known() const { return !fingerprint.empty(); }
    // "subject CN=nas, issuer CN=nas, valid 2026-12-07 10:00 UTC to ..., SHA256:..."
    std::string text() const;
};

// A SHA-256 fingerprint as typed: "SHA256:" (any case, optional) followed by 64 hex
// digits, in colon-separated pairs or plain. Empty when it is none; else in the
// one form the program shows and stores: "SHA256:" and upper-case pairs.
std::optional<std::string> read_fingerprint(std::string_view text);

// The same form from the 32 bytes of a digest.
std::string fingerprint_of_digest(const unsigned char* digest, std::size_t size);

}  // namespace tovan
