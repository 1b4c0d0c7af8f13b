#pragma once

#include <chrono>
#include <cstdint>

#include "engine/scan/Scanner.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// A scanner the scheduler started, beside the server node it works for.
struct Scanning {
    SharedPtr<TreeEntry> node;
    SharedPtr<Scanner> scanner;
    std::int64_t shown_remaining = 0;  // the remaining count the views last saw
    std::chrono::steady_clock::time_point started{};
    bool timed = false;  // a scan, not only a status check: its duration is kept
    // The scanner's counts when this scan began: its progress is what came since.
    std::uint64_t folders_before = 0;
    std::uint64_t entries_before = 0;
};

}  // namespace tovan
