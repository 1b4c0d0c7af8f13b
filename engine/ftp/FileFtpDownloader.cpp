#include "engine/ftp/FileFtpDownloader.h"

#include <cctype>
#include <cstdlib>
#include <ctime>

#include "engine/ftp/FtpListParser.h"
#include "tovan/Exception.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

// A reply of the 4xx or 5xx kind: the server refused something.
bool is_refusal(const std::string& line) {
    return line.size() > 3 && (line[0] == '4' || line[0] == '5') &&
           std::isdigit(static_cast<unsigned char>(line[1])) &&
           std::isdigit(static_cast<unsigned char>(line[2])) && (line[3] == ' ' || line[3] == '-');
}

// The server answered, so the control connection is still good.
bool refused_by_server(CURLcode code) {
    return code == CURLE_REMOTE_FILE_NOT_FOUND || code == CURLE_FTP_COULDNT_RETR_FILE ||
           code == CURLE_REMOTE_ACCESS_DENIED;
}

}  // namespace

FileFtpDownloader::FileFtpDownloader(SharedPtr<FtpHandle> handle) : handle_(std::move(handle)) {
    previous_answers_ = handle_->set_answer_sink([this](const std::string& line) {
        if (is_refusal(line))
            last_refusal_ = line.substr(0, line.find_last_not_of("\r\n") + 1);
        log(line);
    });
}

FileFtpDownloader::~FileFtpDownloader() {
    handle_->close_file();
    handle_->set_answer_sink(std::move(previous_answers_));
}

bool FileFtpDownloader::open() {
    close_source();
    offset_ = 0;
    // Whether a file is there is learnt anew for each file.
    found_ = false;
    last_refusal_.clear();
    query_size();
    if (size_ != 0)
        return true;
    return open_file();
}

// Servers may refuse SIZE in ASCII mode, which a new control connection and
// every listing leave behind.
void FileFtpDownloader::query_size() {
    size_ = 0;
    if (!binary_)
        set_binary();
    log("SIZE " + source());
    const FtpHandle::Reply reply = handle_->command("SIZE " + source());
    if (!reply.sent) {
        error_log(1) << "SIZE " << source() << ": " << handle_->error_text(CURLE_OK) << std::endl;
        return;
    }
    if (reply.code == 213 && reply.line.size() > 4) {
        size_ = std::strtoull(reply.line.c_str() + 4, nullptr, 10);
        found_ = true;
        return;
    }
    search_folder();
}

// A server without SIZE still lists the folder, with the file's size in it.
void FileFtpDownloader::search_folder() {
    const std::size_t slash = source().rfind('/');
    const std::string folder = slash == std::string::npos ? "/" : source().substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? source() : source().substr(slash + 1);
    log("Set directory " + folder);
    const FtpHandle::Listing listing = handle_->list(folder);
    binary_ = false;
    if (listing.ok) {
        log("Search file in directory");
        for (const FtpListItem& item :
             parse_listing(listing.body, handle_->uses_mlsd(), std::time(nullptr))) {
            if (item.folder || item.name != name)
                continue;
            log("File found");
            found_ = true;
            size_ = item.size;
            break;
        }
    }
    set_binary();
}

void FileFtpDownloader::set_binary() {
    log("TYPE I");
    binary_ = handle_->command("TYPE I").code == 200;
}

bool FileFtpDownloader::open_file() {
    log("Open file: " + source());
    handle_->open_file(source(), offset_);
    const CurlTransfer& file = handle_->file();
    if (!file.ended() || file.result() == CURLE_OK) {
        file_open_ = true;
        found_ = true;
        return true;
    }
    const CURLcode code = file.result();
    const std::string reason = handle_->error_text(code);
    set_refusal(last_refusal_.empty() ? reason : last_refusal_);
    handle_->close_file();
    error_log(1) << "can't open " << source() << ": " << reason << std::endl;
    log(reason);
    if (handle_->reply() == 550) {
        found_ = false;
        return false;
    }
    // A file that may well be there, or a server that could not be asked, is
    // tried again later; a file the server never knew is left out.
    if (found_ || !refused_by_server(code))
        fail("can't open file");
    return false;
}

bool FileFtpDownloader::seek(std::uint64_t offset) {
    const std::string command = "REST " + std::to_string(offset);
    log(command);
    if (handle_->command(command).code != 350)
        return false;
    offset_ = offset;
    return true;
}

std::size_t FileFtpDownloader::do_read_chunk(std::size_t n, std::vector<char>& buffer) {
    try {
        if (!file_open_ && !open_file())
            return 0;
        return read_file(n, buffer);
    } catch (const Exception&) {
        throw;
    } catch (const std::exception&) {
        fail("FileFtpDownloader::do_read_chunk. Unknown exception");
    }
}

// A transfer that ends in a failure is no end of the file: the part read so far
// stays, and the next try resumes after it.
std::size_t FileFtpDownloader::read_file(std::size_t n, std::vector<char>& buffer) {
    const std::size_t before = buffer.size();
    const std::size_t read = handle_->read_file(n, buffer);
    if (read == n || handle_->file().result() == CURLE_OK)
        return read;
    buffer.resize(before);
    const std::string reason = handle_->error_text(handle_->file().result());
    error_log(1) << source() << ": " << reason << std::endl;
    log(reason);
    fail("Transfer error while not end of file");
}

void FileFtpDownloader::close_source() {
    if (!file_open_)
        return;
    // libcurl drops a control connection whose transfer it did not finish; the
    // next one starts in ASCII mode.
    if (!handle_->file().ended())
        binary_ = false;
    handle_->close_file();
    file_open_ = false;
}

}  // namespace tovan
