#pragma once

#include "app/CLumiskDoc.h"
#include "app/Options.h"
#include "engine/TreeEntry.h"

namespace tovan {
class InternetSession;
}

namespace tovan::cli {

// Learns which servers below a node are online, through the scheduler, before
// a command that depends on it. It writes nothing, so it may run on files read
// without the data folder's lock.
class StatusCheck {
public:
    // False when a stop was asked for before every check ended.
    static bool run(CLumiskDoc& document, const Options& options, InternetSession* session,
                    const SharedPtr<TreeEntry>& node);
};

}  // namespace tovan::cli
