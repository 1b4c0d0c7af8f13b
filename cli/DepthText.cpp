#include "cli/DepthText.h"

#include "engine/catalog/Server.h"

namespace tovan::cli {

std::optional<std::int32_t> DepthText::parse(const std::string& text, bool allow_default) {
    if (text == "none" || text == "0")
        return Server::NoScan;
    if (text == "full")
        return Server::FullScan;
    if (text == "default" && allow_default)
        return Server::DefaultDepth;
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '6')
        return text[0] - '0';
    return std::nullopt;
}

std::string DepthText::text(std::int32_t depth) {
    switch (depth) {
        case Server::NoScan:
            return "none";
        case Server::FullScan:
            return "full";
        case Server::DefaultDepth:
            return "default";
        default:
            return std::to_string(depth);
    }
}

}  // namespace tovan::cli
