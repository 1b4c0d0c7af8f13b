#pragma once

#include "cli/ChangeCommands.h"
#include "cli/CommandContext.h"
#include "cli/DownloadCommands.h"
#include "cli/FilterCommands.h"
#include "cli/GroupCommands.h"
#include "cli/HelpCommand.h"
#include "cli/ListCommand.h"
#include "cli/OptionsCommand.h"
#include "cli/ScanCommands.h"
#include "cli/SearchCommand.h"
#include "cli/ServerCommands.h"
#include "cli/TransferCommands.h"

namespace tovan::cli {

// ferrovane-cli: reads the command line, runs the one command it names and
// turns the outcome into the exit status: 0 done, 1 failed, 2 bad usage.
class CommandLine {
public:
    CommandLine();

    int run(int argc, char** argv);

private:
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
    HelpCommand help_{context_};
};

}  // namespace tovan::cli
