#pragma once

#include <string>

namespace CLI {
class App;
class Error;
}  // namespace CLI

namespace tovan::cli {

// What a command line the parser refused gets said, in this program's words:
// the command it was for, the option or argument at fault and what it takes.
// The parser's own messages never reach the user.
class ParseErrorText {
public:
    static std::string of(const CLI::App& app, const CLI::Error& error, int argc, char** argv);
    // The command the line reached, as typed after "ferrovane-cli ".
    static std::string command_path(const CLI::App& app);
    // The command word of a line: the first that is neither an option nor the
    // folder of --data-dir.
    static std::string first_word(int argc, char** argv);
};

}  // namespace tovan::cli
