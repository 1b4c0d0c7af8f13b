#pragma once

#include <string>

#include "cli/CliError.h"

namespace tovan::cli {

// A command that changes data met the data folder held by another process. The
// command line sends such a command to that process; where it cannot, the
// refusal is what the user reads.
class HeldElsewhere : public CliError {
public:
    HeldElsewhere(const std::string& refusal, std::string data_folder, long holder)
        : CliError(refusal), data_folder_(std::move(data_folder)), holder_(holder) {}

    // Ends with "/".
    const std::string& data_folder() const { return data_folder_; }
    // The holder's process id, -1 when unknown.
    long holder() const { return holder_; }

private:
    std::string data_folder_;
    long holder_;
};

}  // namespace tovan::cli
