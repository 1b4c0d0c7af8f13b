#pragma once

#include <string>
#include <string_view>

namespace tovan {

// Percent-escapes of URLs. Decoding is lenient: a "%" not followed by two hex
// digits stays as it is, so a folder named "50%" still reads as typed.
std::string percent_decoded(std::string_view text);
// Every byte but letters, digits, "-._~" and those of also_plain becomes %XX.
std::string percent_encoded(std::string_view text, std::string_view also_plain = {});
// A login or password as a URL carries it: ":", "@" and "/" escaped.
std::string userinfo_encoded(std::string_view text);

}  // namespace tovan
