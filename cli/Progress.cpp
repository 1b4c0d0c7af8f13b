#include "cli/Progress.h"

#include <unistd.h>

#include <iostream>

namespace tovan::cli {

Progress::Progress() : enabled_(::isatty(STDOUT_FILENO) == 1) {}

Progress::~Progress() {
    clear();
}

void Progress::show(const std::string& text) {
    if (!enabled_)
        return;
    std::cerr << "\r" << text << "\033[K" << std::flush;
    shown_ = true;
}

void Progress::clear() {
    if (!shown_)
        return;
    std::cerr << "\r\033[K" << std::flush;
    shown_ = false;
}

}  // namespace tovan::cli
