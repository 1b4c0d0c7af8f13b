#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace tovan::cli {

// A progress line on stderr, shown only where a person watches stderr: piped
// or logged output stays free of it. On a terminal that understands escapes
// the line is rewritten in place; on a dumb one (TERM=dumb or unset) it is a
// plain line now and then.
class Progress {
public:
    enum class Mode { Off, Plain, Live };
    static constexpr std::chrono::seconds PlainInterval{10};

    // The mode for stderr being a terminal or not and its TERM; a client's
    // command run by the holder of the data folder (redirected) shows none.
    static Mode mode_for(bool stderr_is_terminal, std::string_view term, bool redirected);

    Progress();
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void show(const std::string& text);
    // Removes the line, so that a result can be printed in its place.
    void clear();

private:
    Mode mode_ = Mode::Off;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_plain_{};
};

}  // namespace tovan::cli
