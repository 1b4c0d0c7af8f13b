#include "cli/Progress.h"

#include <unistd.h>

#include <iostream>

#include "cli/Output.h"

namespace tovan::cli {

// A client's command run by the holder of the data folder shows no progress.
Progress::Progress() : enabled_(::isatty(STDOUT_FILENO) == 1 && !Output::redirected()) {}

Progress::~Progress() {
    clear();
}

void Progress::show(const std::string& text) {
    if (!enabled_)
        return;
    Output::err() << "\r" << text << "\033[K" << std::flush;
    shown_ = true;
}

void Progress::clear() {
    if (!shown_)
        return;
    Output::err() << "\r\033[K" << std::flush;
    shown_ = false;
}

}  // namespace tovan::cli
