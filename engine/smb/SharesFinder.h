#pragma once

#include <deque>
#include <string>

#include "engine/connection/FileFinder.h"
#include "engine/smb/SmbContext.h"

namespace tovan {

// Lists the disk shares of a network host as folders. Printer queues, the IPC$
// share and hidden shares (names ending in "$") are left out, as Windows
// Explorer leaves them out. Every step is timed and logged, since an unreachable
// host blocks for seconds.
class SharesFinder : public FileFinder {
public:
    explicit SharesFinder(SharedPtr<SmbContext> context) : context_(std::move(context)) {}

    bool find_file(const Entry& folder) override;
    bool find_next(SharedPtr<Entry>& item) override;
    // Why the last find_file failed, as an errno value; 0 after one that worked.
    int error() const { return error_; }

    // The host's addresses, IPv4 ones first, separated by ","; empty when the
    // name cannot be resolved. A port written after the host is ignored.
    static std::string look_up(const std::string& host);

private:
    std::string address_of(const std::string& host) const;
    bool read_shares(SMBCFILE* folder, const std::string& url);

    SharedPtr<SmbContext> context_;
    std::deque<std::string> shares_;
    int error_ = 0;
};

}  // namespace tovan
