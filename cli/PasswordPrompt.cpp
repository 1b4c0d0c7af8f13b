#include "cli/PasswordPrompt.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <csignal>
#include <iostream>
#include <string_view>

#include "cli/CliError.h"
#include "engine/catalog/UrlEscapes.h"

namespace tovan::cli {
namespace {

constexpr std::array LoginSchemes = {"ftp://", "ftps://", "smb://"};

// Where the URL's authority starts, for the schemes that take a login.
std::optional<std::size_t> authority_start(const std::string& url) {
    for (const char* scheme : LoginSchemes) {
        const std::string_view prefix(scheme);
        if (url.size() >= prefix.size() &&
            std::equal(prefix.begin(), prefix.end(), url.begin(), [](char a, char b) {
                return a == std::tolower(static_cast<unsigned char>(b));
            }))
            return prefix.size();
    }
    return std::nullopt;
}

void strip_line_end(std::string& line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
}

// Echo stays off while the password is typed, and comes back whatever happens.
class NoEcho {
public:
    explicit NoEcho(int terminal) : terminal_(terminal) {
        saved_ = ::tcgetattr(terminal_, &before_) == 0;
        if (!saved_)
            return;
        termios quiet = before_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(terminal_, TCSAFLUSH, &quiet);
    }
    ~NoEcho() {
        if (saved_)
            ::tcsetattr(terminal_, TCSANOW, &before_);
    }
    NoEcho(const NoEcho&) = delete;
    NoEcho& operator=(const NoEcho&) = delete;

private:
    int terminal_;
    termios before_{};
    bool saved_ = false;
};

volatile std::sig_atomic_t interrupted_by = 0;

void note_interruption(int number) {
    interrupted_by = number;
}

// Ctrl+C at the prompt must not leave the terminal without echo: the signal
// ends the read, the echo comes back, and then the signal does what it would
// have done.
class InterruptibleRead {
public:
    InterruptibleRead() {
        struct sigaction noting {};
        noting.sa_handler = note_interruption;  // no SA_RESTART: read() returns
        sigemptyset(&noting.sa_mask);
        for (std::size_t at = 0; at < Signals.size(); ++at)
            ::sigaction(Signals[at], &noting, &before_[at]);
    }
    ~InterruptibleRead() {
        for (std::size_t at = 0; at < Signals.size(); ++at)
            ::sigaction(Signals[at], &before_[at], nullptr);
    }
    InterruptibleRead(const InterruptibleRead&) = delete;
    InterruptibleRead& operator=(const InterruptibleRead&) = delete;

    static void pass_on() {
        if (interrupted_by != 0)
            std::raise(interrupted_by);
    }

private:
    static constexpr std::array Signals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    std::array<struct sigaction, Signals.size()> before_{};
};

void write_all(int terminal, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(terminal, text.data() + done, text.size() - done);
        if (written <= 0)
            return;
        done += static_cast<std::size_t>(written);
    }
}

}  // namespace

std::optional<std::size_t> PasswordPrompt::login_end(const std::string& url) {
    const std::optional<std::size_t> start = authority_start(url);
    if (!start)
        return std::nullopt;
    const std::size_t end = std::min(url.find('/', *start), url.size());
    const std::size_t at = url.rfind('@', end);
    if (at == std::string::npos || at < *start)
        return std::nullopt;
    return at;
}

// An anonymous FTP login takes any password, so none is asked for.
bool PasswordPrompt::lacks_password(const std::string& url) {
    const std::optional<std::size_t> at = login_end(url);
    if (!at || url.find(':', *authority_start(url)) < *at)
        return false;
    const std::string login = url.substr(*authority_start(url), *at - *authority_start(url));
    return login != "anonymous" && login != "ftp";
}

std::string PasswordPrompt::with_password(const std::string& url, const std::string& password) {
    std::string result = url;
    result.insert(*login_end(url), ":" + userinfo_encoded(password));
    return result;
}

std::string PasswordPrompt::read_stdin() {
    std::string line;
    std::getline(std::cin, line);
    strip_line_end(line);
    return line;
}

std::string PasswordPrompt::ask(const std::string& prompt) {
    std::optional<std::string> line = read_terminal(prompt, false);
    if (!line)
        throw CliError("no terminal to ask the password on: give it on stdin with --password-stdin",
                       CliError::Usage);
    return *line;
}

std::optional<bool> PasswordPrompt::confirm(const std::string& question) {
    const std::optional<std::string> answer = ask_aloud(question + " [y/N] ");
    if (!answer)
        return std::nullopt;
    return *answer == "y" || *answer == "Y" || *answer == "yes";
}

bool PasswordPrompt::has_terminal() {
    const int terminal = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal >= 0)
        ::close(terminal);
    return terminal >= 0;
}

std::optional<std::string> PasswordPrompt::ask_aloud(const std::string& prompt) {
    return read_terminal(prompt, true);
}

std::optional<std::string> PasswordPrompt::read_terminal(const std::string& prompt, bool echo) {
    const int terminal = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0)
        return std::nullopt;
    std::string line;
    {
        const InterruptibleRead interruptible;
        std::optional<NoEcho> quiet;
        if (!echo)
            quiet.emplace(terminal);
        write_all(terminal, prompt);
        char c = 0;
        while (interrupted_by == 0 && ::read(terminal, &c, 1) == 1 && c != '\n') line += c;
        if (!echo)
            write_all(terminal, "\n");
    }
    ::close(terminal);
    InterruptibleRead::pass_on();
    strip_line_end(line);
    return line;
}

}  // namespace tovan::cli
