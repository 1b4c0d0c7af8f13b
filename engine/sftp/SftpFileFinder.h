#pragma once

#include <libssh/sftp.h>

#include <string>
#include <vector>

#include "engine/connection/FileFinder.h"
#include "engine/sftp/SftpSession.h"

namespace tovan {

// Lists a folder of an SFTP server whole before handing out its items, so a
// connection lost halfway gives no partial listing. Sizes and times are the
// server's, to the second. A symbolic link counts as the local finder counts
// it: a link to a file as that file, any other link as an empty file, so no
// link is ever followed into a folder.
class SftpFileFinder : public FileFinder {
public:
    explicit SftpFileFinder(SharedPtr<SftpSession> session) : session_(std::move(session)) {}

    // Raises "disconnected" when the session is lost, and a refusal naming
    // the folder and the server's status when it may not be read.
    bool find_file(const Entry& folder) override;
    bool find_next(SharedPtr<Entry>& item) override;

private:
    SharedPtr<Entry> make_item(const std::string& folder, const sftp_attributes_struct& listed);

    SharedPtr<SftpSession> session_;
    std::vector<SharedPtr<Entry>> items_;
    std::size_t next_ = 0;
};

}  // namespace tovan
