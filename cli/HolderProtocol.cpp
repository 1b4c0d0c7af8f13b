#include "cli/HolderProtocol.h"

#include <unistd.h>

namespace tovan::cli {
namespace {

std::string dumped(const nlohmann::json& object) {
    return object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

std::string HolderProtocol::request(const Request& request) {
    return dumped({{"protocol", Version},
                   {"arguments", request.arguments},
                   {"working_folder", request.working_folder},
                   {"inputs", request.inputs}});
}

HolderProtocol::Request HolderProtocol::read_request(const nlohmann::json& line) {
    return {line.at("arguments").get<std::vector<std::string>>(),
            line.at("working_folder").get<std::string>(),
            line.at("inputs").get<std::map<std::string, std::string>>()};
}

std::string HolderProtocol::hello() {
    return dumped({{"protocol", Version}, {"pid", ::getpid()}});
}

std::string HolderProtocol::line(const char* key, const nlohmann::json& value) {
    return dumped({{key, value}});
}

std::string HolderProtocol::version_mismatch(const nlohmann::json& hello) {
    const nlohmann::json pid = hello.value("pid", nlohmann::json());
    return "the running Ferrovane" +
           (pid.is_number() ? " (process " + std::to_string(pid.get<long>()) + ")"
                            : std::string()) +
           " speaks protocol " + hello.value("protocol", nlohmann::json("?")).dump() +
           " and this ferrovane-cli speaks protocol " + std::to_string(Version) +
           "; use the same version of both";
}

}  // namespace tovan::cli
