#pragma once

namespace tovan {

// While a LogSuppression lives, the lines of the thread that made it are dropped.
// The log uses it while it opens its own files, so that the file layer's reports
// about those files never feed back into the log. Only the thread that opens is
// silenced: lines of other threads wait for the target's lock and pass.
class LogSuppression {
public:
    LogSuppression() noexcept { ++depth_; }
    ~LogSuppression() { --depth_; }
    LogSuppression(const LogSuppression&) = delete;
    LogSuppression& operator=(const LogSuppression&) = delete;

    static bool active() noexcept { return depth_ > 0; }

private:
    static thread_local int depth_;
};

}  // namespace tovan
