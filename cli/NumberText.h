#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tovan::cli {

// Numbers as the command line takes them. CLI11 is given texts and these read
// them, so that a value it can't take is refused in this program's own words.
class NumberText {
public:
    // The units size() takes, for --help and for the message that refuses a size.
    static constexpr const char* SizeForms =
        "B, K, M, G or T after the number (powers of 1024, as ls and du count), such as "
        "2048B, 512K, 700M or 1.5G";

    // Digits only, at most high.
    static std::optional<std::uint64_t> whole(const std::string& text, std::uint64_t high);
    // A number of bytes: "1500", "512K", "700m", "1.5G", "2GiB", "10 MB".
    static std::optional<std::uint64_t> size(const std::string& text);
};

}  // namespace tovan::cli
