#pragma once

#include <string>
#include <string_view>

namespace tovan {

// What a URL in a text shows where a password stood.
inline constexpr std::string_view MaskedPassword = "***";

// The text with the password of every URL in it ("scheme://login:password@")
// replaced by MaskedPassword, for what is shown on screen or written to a log.
// The rest of the text stays as it is.
std::string masked_passwords(std::string_view text);

}  // namespace tovan
