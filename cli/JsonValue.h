#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace tovan::cli {

// A text that may be missing: null when empty, so that every object of a kind
// keeps the same keys.
inline nlohmann::json text_or_null(const std::string& text) {
    return text.empty() ? nlohmann::json(nullptr) : nlohmann::json(text);
}

}  // namespace tovan::cli
