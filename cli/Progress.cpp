#include "cli/Progress.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "cli/Output.h"

namespace tovan::cli {

Progress::Mode Progress::mode_for(bool stderr_is_terminal, std::string_view term, bool redirected) {
    if (!stderr_is_terminal || redirected)
        return Mode::Off;
    return term.empty() || term == "dumb" ? Mode::Plain : Mode::Live;
}

Progress::Progress() {
    const char* term = std::getenv("TERM");
    mode_ =
        mode_for(::isatty(STDERR_FILENO) == 1, term != nullptr ? term : "", Output::redirected());
    // Short work leaves no line behind on a dumb terminal.
    last_plain_ = std::chrono::steady_clock::now();
}

Progress::~Progress() {
    clear();
}

void Progress::show(const std::string& text) {
    if (mode_ == Mode::Live) {
        Output::err() << "\r" << text << "\033[K" << std::flush;
        shown_ = true;
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (mode_ != Mode::Plain || now - last_plain_ < PlainInterval)
        return;
    last_plain_ = now;
    Output::err() << text << std::endl;
}

void Progress::clear() {
    if (!shown_)
        return;
    Output::err() << "\r\033[K" << std::flush;
    shown_ = false;
}

}  // namespace tovan::cli
