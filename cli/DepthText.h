#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tovan::cli {

// Scan depths as typed and shown: "none" (or 0), 1 to 6, "full", and "default"
// for no override of a folder's own.
class DepthText {
public:
    static std::optional<std::int32_t> parse(const std::string& text, bool allow_default);
    static std::string text(std::int32_t depth);
    static constexpr const char* Choices = "none, 1 to 6, full or default";
};

}  // namespace tovan::cli
