#pragma once

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tovan::cli {

// What goes over the socket of the process that holds the data folder: one JSON
// object per line. The client sends one request
//   {"protocol":1,"arguments":[...],"working_folder":"...","inputs":{...},"json":false}
// the holder answers {"protocol":1,"pid":N} first (or, to another version or
// another user, that and {"error":"..."} alone), then what the command prints as
// it prints it, {"out":"text"} and {"err":"text"}, and at last {"exit":status}.
struct HolderProtocol {
    static constexpr int Version = 1;

    struct Request {
        std::vector<std::string> arguments;
        std::string working_folder;
        std::map<std::string, std::string> inputs;
    };

    static std::string request(const Request& request);
    // Raises nlohmann::json::exception when the line is no request.
    static Request read_request(const nlohmann::json& line);
    static std::string hello();
    static std::string line(const char* key, const nlohmann::json& value);
    // The hello's complaint about another version, in the client's words.
    static std::string version_mismatch(const nlohmann::json& hello);
};

}  // namespace tovan::cli
