#include "engine/FileDownloader.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "engine/TransferLog.h"
#include "engine/TransferSpeed.h"

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
FileDownloader::FileDownloader() { output_.set_new_file_mode(0666); }

void FileDownloader::start(const std::string& source, const std::string& destination) {
    std::lock_guard guard(lock_);
    source_ = source;
    destination_ = destination;
    stopped_ = write_error_ = complete_ = false;
    position_ = 0;
    if (!open()) return;
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::path(destination).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
    speed_ = 0;
    open_destination();
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
        }
        return;
    }
    output_.open(destination_, std::ios_base::out | std::ios_base::trunc);
}

std::int32_t FileDownloader::read_chunk(std::int32_t requested) {
    std::lock_guard guard(lock_);
    if (stopped_) return 0;
    const std::size_t wanted = static_cast<std::size_t>(std::clamp(requested, MinChunk, MaxChunk));
    buffer_.clear();
    const auto before = std::chrono::steady_clock::now();
    const std::size_t read = do_read_chunk(wanted, buffer_);
    speed_ = smoothed_speed(speed_, read, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before).count());
    if (read < wanted) complete_ = true;
    if (read > 0) {
        if (output_.write(buffer_.data(), read)) {
            position_ += read;
        } else {
            stop();
            write_error_ = true;
        }
    }
    if (complete_) stop();
    return static_cast<std::int32_t>(read);
}

void FileDownloader::stop() {
    std::lock_guard guard(lock_);
    stopped_ = true;
    close_source();
    if (output_.is_open()) output_.close();
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

void FileDownloader::set_log(TransferLog* log) {
    std::lock_guard guard(lock_);
    log_ = log;
}

void FileDownloader::log(std::string_view text) {
    if (log_ != nullptr) log_->append_answer(text);
}

}  // namespace tovan
