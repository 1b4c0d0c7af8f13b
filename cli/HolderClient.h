#pragma once

#include <string>
#include <vector>

#include "cli/HolderProtocol.h"

namespace tovan::cli {

class HeldElsewhere;

// Hands a command that changes data to the process that holds the data folder,
// and prints what it answers as if the command had run here.
class HolderClient {
public:
    // The command's exit status; where the holder cannot be reached, the refusal
    // (or why its socket is not to be trusted) is printed and the status is 1.
    static int forward(const HeldElsewhere& held, const HolderProtocol::Request& request);
};

}  // namespace tovan::cli
