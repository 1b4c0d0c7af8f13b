#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/catalog/Entry.h"
#include "engine/tree/TreeEntry.h"

namespace tovan {

class Options;

// How far a running scan has come, as a label shows it.
struct ScanProgress {
    bool running = false;
    bool stopping = false;
    std::size_t threads = 0;
    std::uint32_t total = 0;  // requests expected when the scan began; 0: none recorded
    std::int64_t remaining = 0;

    // Read from the node's scanner through its locked accessors.
    static ScanProgress of(const TreeEntry& node);
};

// The texts of the tree's items. Brackets follow each other without blanks, so
// that "[inf]films(3/5)[t: 3. 40%]" reads as one word per item.
class TreeLabels {
public:
    // "inf" for an unlimited depth, "0" to "6", "error" for anything else.
    static std::string depth_text(std::int32_t depth);
    static std::string node_label(const TreeEntry& node, const ScanProgress& scan,
                                  const Options& options);
    static std::string folder_label(const Server& server, const Entry& folder,
                                    const Options& options);
    // "[t: 3. 40%]", "[40%]", "[t: 3]" at the end with threads, "(t: 2)" while
    // stopping, "[?]" while the server is not known to be online.
    static std::string scan_text(const ScanProgress& scan, bool online);

private:
    static std::string seconds(std::int64_t ms);
};

}  // namespace tovan
