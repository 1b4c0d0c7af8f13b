#pragma once

#include "tovan/AbstractFile.h"
#include "tovan/SystemErrorInfo.h"

namespace tovan {

// A file of the operating system, by descriptor. Opens, and failed opens, reads,
// writes and flushes are reported on the "tovan.io" log channels, except for a
// quiet file (the log's own file, whose failures must not feed back into it).
//
// Open modes (ate and binary are ignored when the mode is checked; ate moves to
// the end after opening):
//   in                  read, the file must exist
//   out, out|app        write, created when missing (app: every write appends)
//   in|out              read and write, created when missing
//   out|trunc           write, created or emptied
//   in|out|trunc        read and write, created or emptied
// Any other mode fails. New files are readable by their owner only: data files
// hold server passwords.
class File : public AbstractFile {
public:
    explicit File(bool quiet = false) : quiet_(quiet) {}
    ~File() override;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool open(const std::string& name, OpenMode mode) override;
    bool close() override;
    std::int64_t size() override;
    bool flush() override;
    std::int64_t read(void* buffer, std::size_t count) override;
    bool write(const void* buffer, std::size_t count) override;
    std::int64_t seek(std::int64_t offset, std::ios_base::seekdir origin) override;
    const ErrorInfo* error_info() const override;
    const std::string& name() const override { return name_; }
    bool is_open() const override { return open_; }

    // The permissions of files this object creates from now on, before the
    // umask; owner-only unless changed.
    void set_new_file_mode(unsigned mode) { new_file_mode_ = mode; }

    // The open(2) flags of a mode, -1 for a mode that is not allowed.
    static int open_flags(OpenMode mode);

private:
    // Keeps errno as the reason and reports it unless the file is quiet.
    void fail(const char* what, bool as_warning = false);

    bool open_ = false;
    int descriptor_ = -1;
    bool owns_descriptor_ = true;
    bool quiet_;
    SystemErrorInfo error_{0};
    bool has_error_ = false;
    std::string name_;
    unsigned new_file_mode_ = 0600;
};

}  // namespace tovan
