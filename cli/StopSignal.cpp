#include "cli/StopSignal.h"

#include <csignal>
#include <thread>

namespace tovan::cli {
namespace {

volatile std::sig_atomic_t stop_requested = 0;
struct sigaction previous_interrupt;
struct sigaction previous_terminate;

extern "C" void on_stop(int) {
    stop_requested = 1;
}

}  // namespace

StopSignal::StopSignal() {
    stop_requested = 0;
    struct sigaction action {};
    action.sa_handler = on_stop;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previous_interrupt);
    ::sigaction(SIGTERM, &action, &previous_terminate);
}

StopSignal::~StopSignal() {
    ::sigaction(SIGINT, &previous_interrupt, nullptr);
    ::sigaction(SIGTERM, &previous_terminate, nullptr);
}

bool StopSignal::requested() {
    return stop_requested != 0;
}

void StopSignal::wait(std::chrono::milliseconds time) {
    constexpr std::chrono::milliseconds Step{20};
    for (std::chrono::milliseconds slept{0}; slept < time && !requested(); slept += Step)
        std::this_thread::sleep_for(Step);
}

}  // namespace tovan::cli
