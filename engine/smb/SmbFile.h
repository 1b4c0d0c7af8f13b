#pragma once

#include <libsmbclient.h>

#include "tovan/AbstractFile.h"
#include "tovan/SharedPtr.h"
#include "tovan/SystemErrorInfo.h"

namespace tovan {

class SmbContext;

// A file on a network share, read through the connection's SMB context. Only
// reading is offered: downloads never write to a share.
class SmbFile : public AbstractFile {
public:
    explicit SmbFile(SharedPtr<SmbContext> context) : context_(std::move(context)) {}
    ~SmbFile() override;
    SmbFile(const SmbFile&) = delete;
    SmbFile& operator=(const SmbFile&) = delete;

    // name: a network path, \\host\share\file or smb://host/share/file.
    bool open(const std::string& name, OpenMode mode) override;
    bool close() override;
    std::int64_t size() override;
    bool flush() override { return false; }
    std::int64_t read(void* buffer, std::size_t count) override;
    bool write(const void*, std::size_t) override { return false; }
    std::int64_t seek(std::int64_t offset, std::ios_base::seekdir origin) override;
    const ErrorInfo* error_info() const override { return has_error_ ? &error_ : nullptr; }
    const std::string& name() const override { return name_; }
    bool is_open() const override { return file_ != nullptr; }

    // Whether the network path names an existing file or folder.
    static bool exists(SmbContext& context, const std::string& name);

private:
    std::int64_t fail();

    SharedPtr<SmbContext> context_;
    SMBCFILE* file_ = nullptr;
    std::string name_;
    SystemErrorInfo error_{0};
    bool has_error_ = false;
};

}  // namespace tovan
