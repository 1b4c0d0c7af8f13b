#pragma once

#include <string>
#include <vector>

#include "engine/connection/FileFinder.h"
#include "engine/ftp/FtpHandle.h"
#include "engine/ftp/FtpListParser.h"

namespace tovan {

// Lists a folder of an FTP server by MLSD, or by LIST where the server has no
// MLSD. LIST gives times to the second, the minute or only the day, in a form
// that may change: a file the catalog holds with the same size and a time the
// listing agrees with keeps the catalog's time, so coarse times and changed
// forms never mark a file modified by themselves. Lines LIST could not read are
// kept for the scan to report.
class FtpFileFinder : public FileFinder {
public:
    explicit FtpFileFinder(SharedPtr<FtpHandle> handle) : handle_(std::move(handle)) {}

    // Raises "disconnected" when the control connection is lost, and a refusal
    // naming the folder and the server's reply code when it may not be entered.
    bool find_file(const Entry& folder) override;
    bool find_next(SharedPtr<Entry>& item) override;
    std::vector<std::string> take_unreadable_lines() override;

private:
    SharedPtr<Entry> make_item(const FtpListItem& listed, const Entry& folder) const;

    SharedPtr<FtpHandle> handle_;
    std::vector<SharedPtr<Entry>> items_;
    std::size_t next_ = 0;
    std::vector<std::string> unreadable_;
};

}  // namespace tovan
