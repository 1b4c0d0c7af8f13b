#pragma once

#include <optional>
#include <string>

namespace tovan::cli {

// Keeps passwords off the command line, where every user of the machine can
// read them in the process list and the shell keeps them in its history: a URL
// that names a login without a password gets its password from the terminal,
// or from the first line of stdin.
class PasswordPrompt {
public:
    // Whether an ftp://, ftps:// or smb:// URL has a login, other than an
    // anonymous one, but no password.
    static bool lacks_password(const std::string& url);
    // The URL with the password put after its login.
    static std::string with_password(const std::string& url, const std::string& password);

    // The first line of stdin, without its line end.
    static std::string read_stdin();
    // Asks on the terminal without echo; CliError (usage) when there is none.
    static std::string ask(const std::string& prompt);
    // Asks a question on the terminal, with echo; empty when there is none.
    static std::optional<std::string> ask_aloud(const std::string& prompt);
    // A yes or no to QUESTION on the terminal ("[y/N]" is added); nothing when
    // there is none to ask on.
    static std::optional<bool> confirm(const std::string& question);
    static bool has_terminal();

private:
    static std::optional<std::string> read_terminal(const std::string& prompt, bool echo);
    // Where the login of a URL with one ends (its "@"), if it has one.
    static std::optional<std::size_t> login_end(const std::string& url);
};

}  // namespace tovan::cli
