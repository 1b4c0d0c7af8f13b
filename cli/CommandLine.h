#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/ChangeCommands.h"
#include "cli/CommandContext.h"
#include "cli/DownloadCommands.h"
#include "cli/FilterCommands.h"
#include "cli/GroupCommands.h"
#include "cli/HelpCommand.h"
#include "cli/HolderProtocol.h"
#include "cli/ListCommand.h"
#include "cli/OptionsCommand.h"
#include "cli/ScanCommands.h"
#include "cli/SearchCommand.h"
#include "cli/ServerCommands.h"
#include "cli/TransferCommands.h"
#include "cli/TrustCommands.h"

namespace tovan::cli {

// ferrovane-cli: reads the command line, runs the one command it names and
// turns the outcome into the exit status: 0 done, 1 failed, 2 bad usage.
class CommandLine {
public:
    CommandLine();
    // Carries out a client's command in the process that holds the data folder.
    CommandLine(DataHolder& holder, const HolderProtocol::Request& request);

    int run(int argc, char** argv);
    // The client's arguments run as run() runs a line; raises nothing.
    int run(std::vector<std::string> arguments);
    // True while the command waits for the holder's own work (see
    // CommandContext::go_on_later).
    bool is_waiting() const { return context_.is_waiting(); }
    // Goes on with a waiting command; its exit status once it is done.
    std::optional<int> go_on();

private:
    // The exit status of the work: what it raises is told on stderr.
    int outcome(const std::function<void()>& work, int argc, char** argv);

    CommandContext context_;
    bool json_ = false;
    ServerCommands servers_{context_};
    GroupCommands groups_{context_};
    ListCommand list_{context_};
    FilterCommands filter_{context_};
    OptionsCommand options_{context_};
    ChangeCommands changes_{context_};
    TransferCommands transfer_{context_};
    ScanCommands scans_{context_};
    SearchCommand search_{context_};
    DownloadCommands downloads_{context_};
    TrustCommands trust_{context_};
    HelpCommand help_{context_};
};

}  // namespace tovan::cli
