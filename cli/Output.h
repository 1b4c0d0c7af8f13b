#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace tovan::cli {

// What a command prints: lines of text for people, or with --json one JSON
// object per line for programs. Results go to stdout, each flushed at once so
// that a reader of a long-running command sees it when it happens; errors and
// notes go to stderr.
class Output {
public:
    void set_json(bool json) { json_ = json; }
    bool json() const { return json_; }

    // One result: the object with --json, else the text.
    void result(const nlohmann::json& object, const std::string& text) const;
    // A message about what was done: {"message": text} with --json.
    void message(const std::string& text) const;

    // False once stdout cannot be written any more: its reader is gone.
    static bool is_open();

    // "ferrovane-cli: " and the text, on stderr.
    static void error(const std::string& text);
    static void note(const std::string& text);

private:
    bool json_ = false;
};

}  // namespace tovan::cli
