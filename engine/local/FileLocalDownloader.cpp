#include "engine/local/FileLocalDownloader.h"

#include <sys/stat.h>
#include <unistd.h>

#include "engine/smb/SmbFile.h"
#include "tovan/ErrorInfo.h"
#include "tovan/Exception.h"
#include "tovan/File.h"
#include "tovan/log/FailureRecord.h"

namespace tovan {

FileLocalDownloader::FileLocalDownloader() : input_(std::make_unique<File>()) {}

FileLocalDownloader::FileLocalDownloader(SharedPtr<SmbContext> network)
    : network_(network), input_(std::make_unique<SmbFile>(std::move(network))) {}

FileLocalDownloader::FileLocalDownloader(std::unique_ptr<AbstractFile> input)
    : input_(std::move(input)) {}

bool FileLocalDownloader::is_found() {
    if (network_)
        return SmbFile::exists(*network_, source());
    return ::access(source().c_str(), F_OK) == 0;
}

std::uint64_t FileLocalDownloader::size() {
    const std::int64_t size = input_->is_open() ? input_->size() : -1;
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

// A link to a folder is listed as a file, as scans do not follow it; it, and
// anything else but a file (a device, a pipe that would block), is no file to
// copy.
bool FileLocalDownloader::open() {
    if (input_->is_open())
        input_->close();
    struct stat info;
    if (!network_ && ::stat(source().c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        skip(S_ISDIR(info.st_mode) ? "a folder, or a link to one, which is not followed"
                                   : "not a regular file");
        return false;
    }
    if (input_->open(source(), std::ios_base::in))
        return true;
    char reason[512] = "";
    if (input_->error_info() != nullptr)
        input_->error_info()->format(reason, sizeof reason);
    const std::string refusal = source() + ": " + reason;
    set_refusal(refusal);
    // A file that is there but cannot be read now (no permission, a share that
    // went away) is tried again later.
    if (is_found()) {
        FailureRecord::write(refusal.c_str());
        throw Exception("can't open " + refusal);
    }
    return false;
}

void FileLocalDownloader::close_source() {
    if (input_->is_open())
        input_->close();
}

std::size_t FileLocalDownloader::do_read_chunk(std::size_t n, std::vector<char>& buffer) {
    const std::size_t before = buffer.size();
    buffer.resize(before + n);
    std::size_t got = 0;
    // A read may return less than asked before the end: only a zero means the end.
    while (got < n) {
        const std::int64_t read = input_->read(buffer.data() + before + got, n - got);
        if (read < 0)
            fail_reading();
        if (read <= 0)
            break;
        got += static_cast<std::size_t>(read);
    }
    buffer.resize(before + got);
    return got;
}

// A failed read is no end of file: taken as one, a disk error or a share that
// went away would leave a short copy counted complete. Raised, the job keeps
// what it has and resumes from there on its next try.
void FileLocalDownloader::fail_reading() {
    char reason[512] = "unknown error";
    if (input_->error_info() != nullptr)
        input_->error_info()->format(reason, sizeof reason);
    const std::string text = "can't read " + source() + ": " + reason;
    FailureRecord::write(text.c_str());
    throw Exception(text);
}

bool FileLocalDownloader::seek(std::uint64_t offset) {
    return input_->seek(static_cast<std::int64_t>(offset), std::ios_base::beg) ==
           static_cast<std::int64_t>(offset);
}

}  // namespace tovan
