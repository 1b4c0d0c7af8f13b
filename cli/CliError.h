#pragma once

#include <stdexcept>
#include <string>

namespace tovan::cli {

// Ends a command with one line on stderr and an exit status: Failure when the
// command could not do its work, Usage when what was typed makes no sense. An
// empty text ends it with the status alone, as grep finding nothing does.
class CliError : public std::runtime_error {
public:
    enum Status { Failure = 1, Usage = 2 };

    explicit CliError(const std::string& text, Status status = Failure)
        : std::runtime_error(text), status_(status) {}

    Status status() const { return status_; }

private:
    Status status_;
};

}  // namespace tovan::cli
