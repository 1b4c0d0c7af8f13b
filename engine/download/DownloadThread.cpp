#include "engine/download/DownloadThread.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "engine/catalog/Server.h"
#include "engine/connection/Protocols.h"
#include "engine/connection/TransferSpeed.h"
#include "engine/curl/InternetSession.h"
#include "engine/download/DestinationName.h"
#include "engine/download/Downloader.h"
#include "engine/download/PartFile.h"
#include "tovan/Exception.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

constexpr std::chrono::milliseconds Nap{50};

}  // namespace

DownloadThread::DownloadThread(Downloader& job, InternetSession* session)
    : job_(job), session_(session) {}

void DownloadThread::stop() {
    SharedPtr<Connection> connection;
    {
        std::lock_guard guard(connection_lock_);
        connection = connection_;
    }
    if (connection && connection->is_open()) {
        log("disconnecting...");
        connection->close_once();
    }
    stop_ = true;
    request_quit();
}

bool DownloadThread::idle_step() {
    std::lock_guard guard(lock_);
    try {
        step();
    } catch (const Exception& failure) {
        fail(failure.what());
    } catch (const std::exception& failure) {
        fail(failure.what());
    }
    return true;
}

void DownloadThread::step() {
    if (stop_ || job_.paused_flag()) {
        if (downloader_)
            downloader_->stop();
        sleep_unless_quit(Nap);
        return;
    }
    if (!in_progress_ && job_.pending_empty()) {
        if (job_.is_finished()) {
            stop();
            return;
        }
        wait_countdown(job_.retry_wait());
        if (!stop_)
            job_.requeue_active();
        return;
    }
    if (!connection_ && !connect())
        return;
    if (!in_progress_) {
        start_next_file();
        return;
    }
    read_next_chunk();
}

bool DownloadThread::connect() {
    log("connecting...");
    const SharedPtr<Server> server = job_.server();
    ReachFailure failure;
    SharedPtr<Connection> connection = Protocols::connect(
        *server, session_ != nullptr ? *session_ : InternetSession::shared(), &failure);
    SharedPtr<FileDownloader> downloader = connection ? connection->create_downloader() : nullptr;
    if (!downloader) {
        if (failure.kind != ReachFailure::Kind::None)
            server->set_last_error(failure.text());
        const std::string reason = !server->last_error().empty()
                                       ? server->last_error()
                                       : "can't connect to " + ReachFailure::place_of(*server);
        log(reason);
        if (connection)
            connection->close_once();
        if (!give_up(reason))
            wait_countdown(job_.retry_wait());
        return false;
    }
    downloader->set_log(&job_.log());
    {
        std::lock_guard guard(connection_lock_);
        connection_ = connection;
    }
    downloader_ = downloader;
    connected_ = true;
    timer_ = std::chrono::steady_clock::now();
    speed_ = 0;
    return true;
}

void DownloadThread::start_next_file() {
    std::optional<DownloadItem> next = job_.take_next();
    if (!next)
        return;
    current_ = *next;
    set_file_progress();
    job_.add_active(current_);
    if (!DestinationName::is_inside(job_.destination_folder(), current_.destination)) {
        leave_out("refused \"" + current_.destination + "\": it is not a file name inside " +
                  job_.destination_folder());
        return;
    }
    part_ = job_.part_of(current_);
    if (current_.in_place)
        take_over_destination();
    in_progress_ = true;
    downloader_->start(current_.source, part_, current_.saved_as);
    if (downloader_->complete()) {
        finish_file();
        return;
    }
    if (!downloader_->is_found() || downloader_->skipped() || downloader_->write_error()) {
        in_progress_ = false;
        refuse_file();
        return;
    }
    const std::uint64_t size = downloader_->size();
    if (size != current_.size) {
        job_.correct_total(current_.size, size);
        current_.size = size;
        set_file_progress();
        job_.update_active(current_);
    }
}

// An item from a version that wrote into the destination itself goes on in a
// part file, when the destination still holds just what the job counted;
// otherwise that file is not known to be the job's and is left alone.
void DownloadThread::take_over_destination() {
    if (PartFile::adopt(current_.destination, current_.downloaded, part_))
        log("took over " + current_.destination + " as the partial file " + part_);
    current_.in_place = false;
    job_.update_active(current_);
}

// A name this system refuses is left out like a missing file; a folder that
// cannot be written (no room, no permission) may be mended, so the job pauses.
void DownloadThread::refuse_file() {
    if (downloader_->skipped()) {
        const std::string reason = current_.source + " skipped: " + downloader_->refusal();
        log(reason);
        job_.skip(current_, reason);
        return;
    }
    if (!downloader_->is_found()) {
        job_.drop(current_, not_found_reason());
        return;
    }
    const int error = downloader_->destination_error();
    const std::string reason = current_.destination + ": " + std::system_category().message(error);
    if (DestinationName::is_refused_by_system(error)) {
        leave_out("can't create " + reason + "; the file is left out");
        return;
    }
    log("can't write: " + reason);
    job_.set_stop_reason("can't write " + reason);
    stop();
}

std::string DownloadThread::not_found_reason() const {
    const std::string refusal = downloader_->refusal();
    return !refusal.empty() ? refusal : current_.source + " was not found";
}

void DownloadThread::leave_out(const std::string& reason) {
    log(reason);
    job_.drop(current_, reason);
}

void DownloadThread::read_next_chunk() {
    const std::int32_t read = downloader_->read_chunk(speed_);
    if (read > 0)
        failures_ = 0;
    current_.downloaded = downloader_->position();
    set_file_progress();
    job_.update_active(current_);
    if (downloader_->write_error()) {
        log("can't write: " + current_.destination);
        job_.set_stop_reason("can't write " + current_.destination);
        stop();
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    speed_ = smoothed_speed(speed_, static_cast<std::uint64_t>(read),
                            std::chrono::duration<double, std::milli>(now - timer_).count());
    timer_ = now;
    if (!stop_ && downloader_->complete())
        finish_file();
}

// A source that vanished between its size and its first byte is dropped, not
// taken for an empty file.
void DownloadThread::finish_file() {
    in_progress_ = false;
    if (!downloader_->is_found()) {
        remove_empty_part();
        job_.drop(current_, not_found_reason());
        return;
    }
    failures_ = 0;
    if (!downloader_->earlier_whole()) {
        settle_file();
        log("  " + current_.source + " complete");
    }
    job_.complete(current_);
}

// A failed move leaves the whole part file, which the next try finds complete.
void DownloadThread::settle_file() {
    current_.saved_as = PartFile::settle(part_, current_.destination);
    if (current_.saved_as != current_.destination)
        log(current_.destination + " is another file, which is left as it is; saved as " +
            current_.saved_as);
}

void DownloadThread::remove_empty_part() {
    std::error_code ignored;
    if (std::filesystem::file_size(part_, ignored) == 0)
        std::filesystem::remove(part_, ignored);
}

// The file stays active and is tried again over a new connection after the
// wait, from where its destination ends.
void DownloadThread::fail(const std::string& message) {
    error_log(1) << message << std::endl;
    log("  " + message);
    job_.server()->set_last_error(message);
    if (downloader_)
        downloader_->stop();
    drop_connection(false);
    in_progress_ = false;
    speed_ = 0;
    give_up(message);
}

// Counts a failed try; after the job's limit of them in a row the thread stops
// and the job pauses, with the reason for whoever waits on it.
bool DownloadThread::give_up(const std::string& reason) {
    const std::uint32_t tries = job_.tries();
    // A transfer that a pause broke off is no failed try.
    if (stop_ || tries == 0 || ++failures_ < tries)
        return false;
    log("gave up after " + std::to_string(failures_) + (failures_ == 1 ? " try" : " tries"));
    job_.set_stop_reason("gave up after " + std::to_string(failures_) +
                         (failures_ == 1 ? " try: " : " tries: ") + reason);
    stop();
    return true;
}

void DownloadThread::drop_connection(bool say_so) {
    SharedPtr<Connection> connection;
    {
        std::lock_guard guard(connection_lock_);
        connection = std::move(connection_);
        connection_ = nullptr;
    }
    if (connection && connection->is_open()) {
        if (say_so)
            log("disconnecting...");
        connection->close_once();
    }
    downloader_ = nullptr;
    connected_ = false;
}

void DownloadThread::wait_countdown(std::chrono::milliseconds time) {
    std::int64_t remaining = time.count();
    wait_seconds_ = static_cast<std::int32_t>((remaining + 500) / 1000);
    for (std::int64_t steps = time.count() / 500; steps > 0; --steps) {
        if (stop_ || !sleep_unless_quit(std::chrono::milliseconds(500)))
            break;
        remaining -= 500;
        wait_seconds_ = static_cast<std::int32_t>((remaining + 500) / 1000);
    }
    wait_seconds_ = 0;
}

void DownloadThread::set_file_progress() {
    file_progress_ = current_.size == 0 ? -1.0
                                        : static_cast<double>(current_.downloaded) * 100.0 /
                                              static_cast<double>(current_.size);
}

void DownloadThread::log(const std::string& text) {
    job_.log().append_answer(text);
}

void DownloadThread::on_exit() {
    {
        std::lock_guard guard(lock_);
        if (downloader_)
            downloader_->stop();
        drop_connection(true);
    }
    job_.detach(this);
}

}  // namespace tovan
