#pragma once

#include <mutex>
#include <ostream>

namespace tovan {

class LogFileBuf;

// A named log channel with a fixed level. One statement writes one or more whole
// lines:
//
//     io::error_log(1) << "reading failed: " << text << std::endl;
//
// The call returns a sentry that holds the log's lock until the end of the
// statement, so lines of different threads never mix. A message that the
// verbosity settings exclude gets an empty sentry and nothing is formatted.
// Logging never throws: a log that cannot be written never stops the program.
class LogStream {
public:
    enum Level { Error = 0, Warning = 1, Plain = 2 };
    enum Flags : unsigned { ErrorChannel = 1, WarningChannel = 2 };

    class Sentry;

    constexpr LogStream(const char* name, unsigned flags)
        : name_(name != nullptr ? name : ""),
          level_(flags & ErrorChannel     ? Error
                 : flags & WarningChannel ? Warning
                                          : Plain) {}

    Sentry operator()(int verbosity = 0) const noexcept;

    const char* name() const { return name_; }
    Level level() const { return level_; }

private:
    const char* name_;
    Level level_;
};

class LogStream::Sentry {
public:
    Sentry() = default;
    Sentry(LogFileBuf& target, const LogStream& channel, int verbosity);
    Sentry(Sentry&& other) noexcept;
    Sentry& operator=(Sentry&&) = delete;
    ~Sentry();

    explicit operator bool() const { return target_ != nullptr; }

    template <class T>
    Sentry& operator<<(const T& value) noexcept {
        if (target_ != nullptr) {
            try {
                stream() << value;
            } catch (...) {
            }
        }
        return *this;
    }

    Sentry& operator<<(std::ostream& (*manipulator)(std::ostream&)) noexcept;

private:
    std::ostream& stream();

    LogFileBuf* target_ = nullptr;
    std::unique_lock<std::recursive_mutex> guard_;
};

}  // namespace tovan
