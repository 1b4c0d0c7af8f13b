#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tovan::cli {

// watch --on-change: after a scan that found changes, runs the user's command
// by /bin/sh -c with the changes on its stdin, one JSON object a line as
// --json prints them. The commands run one after another on a thread of their
// own, each for at most a minute, so a slow or stuck one never holds up the
// watch; how one failed is told on the watch's thread, at its next tick.
class ChangeHook {
public:
    explicit ChangeHook(std::string command);
    ~ChangeHook();
    ChangeHook(const ChangeHook&) = delete;
    ChangeHook& operator=(const ChangeHook&) = delete;

    // One change, as its --json line.
    void add(std::string line);
    // Hands the changes added since the last run to the command.
    void run();
    // Notes and logs how runs that ended since the last call failed.
    void report();

private:
    void work();
    std::string run_once(const std::string& input) const;

    const std::string command_;
    std::vector<std::string> pending_;  // the watch's thread only
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::string> inputs_;
    std::vector<std::string> problems_;
    bool quit_ = false;
    std::thread worker_;
};

}  // namespace tovan::cli
