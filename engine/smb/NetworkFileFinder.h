#pragma once

#include "engine/connection/FileFinder.h"
#include "engine/smb/SmbContext.h"

namespace tovan {

// Lists a network host: its shares where the folder is the host itself, else a
// folder inside one of its shares. All listings go through the connection's
// one SMB client context.
class NetworkFileFinder : public FileFinder {
public:
    explicit NetworkFileFinder(SharedPtr<SmbContext> context) : context_(std::move(context)) {}

    bool find_file(const Entry& folder) override;
    bool find_next(SharedPtr<Entry>& item) override;
    // Why the last find_file failed, as an errno value (EACCES where the host
    // wants another login); 0 after one that worked.
    int error() const { return error_; }
    ReachFailure failure() const override;

private:
    SharedPtr<SmbContext> context_;
    SharedPtr<FileFinder> inner_;
    int error_ = 0;
    std::string host_;  // of the last find_file
};

}  // namespace tovan
