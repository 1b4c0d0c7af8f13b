#include "engine/connection/FileDownloader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>

#include "engine/connection/TransferLog.h"
#include "engine/connection/TransferSpeed.h"
#include "tovan/Exception.h"
#include "tovan/SystemErrorInfo.h"
#include "tovan/log/FailureRecord.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

// The size of an existing destination, or -1 when there is none.
std::int64_t existing_size(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

}  // namespace

// Downloaded files are the user's, made like any other program makes them, not
// owner-only like the data files.
FileDownloader::FileDownloader() {
    output_.set_new_file_mode(0666);
}

void FileDownloader::start(const std::string& source, const std::string& destination,
                           const std::string& earlier) {
    std::lock_guard guard(lock_);
    source_ = source;
    destination_ = destination;
    stopped_ = write_error_ = complete_ = earlier_whole_ = skipped_ = false;
    destination_error_ = 0;
    refusal_.clear();
    position_ = 0;
    if (!open())
        return;
    const std::int64_t kept = earlier.empty() ? -1 : existing_size(earlier);
    if (kept > 0 && static_cast<std::uint64_t>(kept) == size()) {
        earlier_whole_ = complete_ = true;
        stop();
        return;
    }
    speed_ = 0;
    make_folders();
    if (!write_error_)
        open_destination();
}

void FileDownloader::make_folders() {
    const std::filesystem::path folder = std::filesystem::path(destination_).parent_path();
    std::error_code error;
    if (!folder.empty())
        std::filesystem::create_directories(folder, error);
    if (error)
        fail_destination(error.value());
}

void FileDownloader::fail_destination(int error) {
    destination_error_ = error;
    write_error_ = true;
    stop();
}

// A destination shorter than the source is resumed where it ends, when the
// source can deliver from there; one as long is complete; any other is written anew.
void FileDownloader::open_destination() {
    const std::int64_t present = existing_size(destination_);
    const std::uint64_t total = size();
    if (present > 0 && static_cast<std::uint64_t>(present) == total) {
        complete_ = true;
        stop();
        return;
    }
    if (present > 0 && static_cast<std::uint64_t>(present) < total &&
        seek(static_cast<std::uint64_t>(present))) {
        if (output_.open(destination_, std::ios_base::out)) {
            output_.seek(0, std::ios_base::end);
            position_ = static_cast<std::uint64_t>(present);
            return;
        }
    } else if (output_.open(destination_, std::ios_base::out | std::ios_base::trunc)) {
        return;
    }
    const auto* reason = dynamic_cast<const SystemErrorInfo*>(output_.error_info());
    fail_destination(reason != nullptr ? static_cast<int>(reason->code()) : EIO);
}

std::int32_t FileDownloader::read_chunk(std::int32_t requested) {
    std::lock_guard guard(lock_);
    if (stopped_)
        return 0;
    const std::size_t wanted = static_cast<std::size_t>(std::clamp(requested, MinChunk, MaxChunk));
    buffer_.clear();
    const auto before = std::chrono::steady_clock::now();
    const std::size_t read = do_read_chunk(wanted, buffer_);
    speed_ = smoothed_speed(
        speed_, read,
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before)
            .count());
    if (read < wanted)
        complete_ = true;
    if (read > 0) {
        if (output_.write(buffer_.data(), read)) {
            position_ += read;
        } else {
            stop();
            write_error_ = true;
        }
    }
    if (complete_)
        stop();
    return static_cast<std::int32_t>(read);
}

void FileDownloader::stop() {
    std::lock_guard guard(lock_);
    stopped_ = true;
    close_source();
    if (output_.is_open())
        output_.close();
}

std::uint64_t FileDownloader::position() const {
    std::lock_guard guard(lock_);
    return position_;
}

std::int32_t FileDownloader::speed() const {
    std::lock_guard guard(lock_);
    return speed_;
}

bool FileDownloader::complete() const {
    std::lock_guard guard(lock_);
    return complete_;
}

bool FileDownloader::write_error() const {
    std::lock_guard guard(lock_);
    return write_error_;
}

int FileDownloader::destination_error() const {
    std::lock_guard guard(lock_);
    return destination_error_;
}

bool FileDownloader::earlier_whole() const {
    std::lock_guard guard(lock_);
    return earlier_whole_;
}

bool FileDownloader::skipped() const {
    std::lock_guard guard(lock_);
    return skipped_;
}

std::string FileDownloader::refusal() const {
    std::lock_guard guard(lock_);
    return refusal_;
}

void FileDownloader::set_refusal(std::string text) {
    std::lock_guard guard(lock_);
    refusal_ = std::move(text);
}

void FileDownloader::skip(std::string reason) {
    std::lock_guard guard(lock_);
    skipped_ = true;
    refusal_ = std::move(reason);
}

void FileDownloader::set_log(TransferLog* log) {
    std::lock_guard guard(lock_);
    log_ = log;
}

void FileDownloader::log(std::string_view text) {
    if (log_ != nullptr)
        log_->append_answer(text);
}

[[noreturn]] void FileDownloader::fail(const char* text, std::source_location location) {
    error_log(1) << text << std::endl;
    FailureRecord::write(text, location);
    throw Exception(text);
}

}  // namespace tovan
