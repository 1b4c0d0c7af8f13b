#include "engine/sftp/FileSftpDownloader.h"

#include <fcntl.h>

#include <memory>

#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

struct AttributesDeleter {
    void operator()(sftp_attributes attributes) const { sftp_attributes_free(attributes); }
};

// One request's worth: OpenSSH's server answers at most this much a read.
constexpr std::size_t ReadSize = 0x10000;

}  // namespace

FileSftpDownloader::FileSftpDownloader(SharedPtr<SftpSession> session)
    : session_(std::move(session)) {
    previous_answers_ = session_->set_answer_sink([this](const std::string& line) { log(line); });
}

FileSftpDownloader::~FileSftpDownloader() {
    close_source();
    session_->set_answer_sink(std::move(previous_answers_));
}

bool FileSftpDownloader::open() {
    close_source();
    found_ = false;
    size_ = 0;
    log("stat " + source());
    const std::unique_ptr<sftp_attributes_struct, AttributesDeleter> attributes(
        sftp_stat(session_->sftp(), source().c_str()));
    if (!attributes) {
        refused("stat");
        return false;
    }
    found_ = true;
    if (attributes->type == SSH_FILEXFER_TYPE_DIRECTORY) {
        skip("a folder, not a file");
        return false;
    }
    size_ = attributes->size;
    log("size " + std::to_string(size_));
    return true;
}

void FileSftpDownloader::refused(const char* step) {
    const std::string reason = session_->error_text();
    log(std::string(step) + ": " + reason);
    error_log(1) << step << " " << source() << ": " << reason << std::endl;
    if (!session_->connected() || session_->sftp_error() == SSH_FX_CONNECTION_LOST ||
        session_->sftp_error() == SSH_FX_NO_CONNECTION)
        fail("can't open file");
    set_refusal(reason);
}

bool FileSftpDownloader::open_file() {
    log("Open file: " + source());
    file_ = sftp_open(session_->sftp(), source().c_str(), O_RDONLY, 0);
    if (file_ != nullptr)
        return true;
    refused("open");
    found_ = false;
    return false;
}

bool FileSftpDownloader::seek(std::uint64_t offset) {
    if (file_ == nullptr && !open_file())
        return false;
    log("seek " + std::to_string(offset));
    return sftp_seek64(file_, offset) == 0;
}

// A read that fails is no end of the file: the part read so far stays, and
// the next try resumes after it.
std::size_t FileSftpDownloader::do_read_chunk(std::size_t n, std::vector<char>& buffer) {
    if (file_ == nullptr && !open_file())
        return 0;
    const std::size_t before = buffer.size();
    buffer.resize(before + n);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t read =
            sftp_read(file_, buffer.data() + before + done, std::min(n - done, ReadSize));
        if (read == 0)
            break;
        if (read < 0) {
            buffer.resize(before);
            const std::string reason = session_->error_text();
            error_log(1) << source() << ": " << reason << std::endl;
            log(reason);
            fail("Transfer error while not end of file");
        }
        done += static_cast<std::size_t>(read);
    }
    buffer.resize(before + done);
    return done;
}

void FileSftpDownloader::close_source() {
    if (file_ != nullptr)
        sftp_close(file_);
    file_ = nullptr;
}

}  // namespace tovan
