#include "cli/Output.h"

#include <iostream>

namespace tovan::cli {

void Output::result(const nlohmann::json& object, const std::string& text) const {
    // Invalid UTF-8 in a file name must not end the listing.
    std::cout << (json_ ? object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
                        : text)
              << std::endl;
}

void Output::message(const std::string& text) const {
    result({{"message", text}}, text);
}

bool Output::is_open() {
    return static_cast<bool>(std::cout);
}

void Output::error(const std::string& text) {
    std::cerr << "ferrovane-cli: " << text << std::endl;
}

void Output::note(const std::string& text) {
    error(text);
}

}  // namespace tovan::cli
