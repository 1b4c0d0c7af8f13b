#pragma once

#include "engine/connection/FileFinder.h"
#include "engine/smb/SmbContext.h"

namespace tovan {

// Lists a folder inside a share of a network host. Names arrive with sizes,
// attributes and times in one exchange, so a folder of many thousand files
// costs no request per file.
class SmbFolderFinder : public FileFinder {
public:
    explicit SmbFolderFinder(SharedPtr<SmbContext> context) : context_(std::move(context)) {}
    ~SmbFolderFinder() override;

    bool find_file(const Entry& folder) override;
    bool find_next(SharedPtr<Entry>& item) override;
    // Why the last find_file failed, as an errno value; 0 after one that worked.
    int error() const { return error_; }

private:
    void close_listing();
    SharedPtr<Entry> read_item();

    SharedPtr<SmbContext> context_;
    SMBCFILE* listing_ = nullptr;
    // One item read ahead, so find_next can tell whether more follow.
    SharedPtr<Entry> next_;
    int error_ = 0;
};

}  // namespace tovan
