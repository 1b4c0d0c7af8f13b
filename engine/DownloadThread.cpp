#include "engine/DownloadThread.h"

#include <exception>

#include "engine/DestinationName.h"
#include "engine/Downloader.h"
#include "engine/InternetSession.h"
#include "engine/Server.h"
#include "engine/TransferSpeed.h"
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
        if (downloader_) downloader_->stop();
        sleep_unless_quit(Nap);
        return;
    }
    if (!in_progress_ && job_.pending_empty()) {
        if (job_.is_finished()) {
            stop();
            return;
        }
        wait_countdown(job_.retry_wait());
        if (!stop_) job_.requeue_active();
        return;
    }
    if (!connection_ && !connect()) return;
    if (!in_progress_) {
        start_next_file();
        return;
    }
    read_next_chunk();
}

bool DownloadThread::connect() {
    log("connecting...");
    const SharedPtr<Server> server = job_.server();
    SharedPtr<Connection> connection =
        session_ != nullptr ? server->connect(*session_) : server->connect();
    SharedPtr<FileDownloader> downloader = connection ? connection->create_downloader() : nullptr;
    if (!downloader) {
        const std::string reason = server->last_error();
        log(!reason.empty() ? reason : "can't connect to " + server->url());
        if (connection) connection->close_once();
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
    if (!next) return;
    current_ = *next;
    set_file_progress();
    job_.add_active(current_);
    if (!DestinationName::is_inside(job_.destination_folder(), current_.destination)) {
        log("refused \"" + current_.destination + "\": it is not a file name inside " +
            job_.destination_folder());
        job_.drop(current_);
        return;
    }
    in_progress_ = true;
    downloader_->start(current_.source, current_.destination);
    if (downloader_->complete()) {
        current_.downloaded = current_.size;
        job_.complete(current_);
        in_progress_ = false;
        return;
    }
    if (!downloader_->is_found()) {
        job_.drop(current_);
        in_progress_ = false;
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

void DownloadThread::read_next_chunk() {
    const std::int32_t read = downloader_->read_chunk(speed_);
    current_.downloaded = downloader_->position();
    set_file_progress();
    job_.update_active(current_);
    if (downloader_->write_error()) {
        log("can't write: " + current_.destination);
        stop();
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    speed_ = smoothed_speed(speed_, static_cast<std::uint64_t>(read),
                            std::chrono::duration<double, std::milli>(now - timer_).count());
    timer_ = now;
    if (!stop_ && downloader_->complete()) finish_file();
}

// A source that vanished between its size and its first byte is dropped, not
// taken for an empty file.
void DownloadThread::finish_file() {
    in_progress_ = false;
    if (!downloader_->is_found()) {
        job_.drop(current_);
        return;
    }
    log("  " + current_.source + " complete");
    job_.complete(current_);
}

// The file stays active and is tried again over a new connection after the
// wait, from where its destination ends.
void DownloadThread::fail(const std::string& message) {
    error_log(1) << message << std::endl;
    log("  " + message);
    job_.server()->set_last_error(message);
    if (downloader_) downloader_->stop();
    drop_connection(false);
    in_progress_ = false;
    speed_ = 0;
}

void DownloadThread::drop_connection(bool say_so) {
    SharedPtr<Connection> connection;
    {
        std::lock_guard guard(connection_lock_);
        connection = std::move(connection_);
        connection_ = nullptr;
    }
    if (connection && connection->is_open()) {
        if (say_so) log("disconnecting...");
        connection->close_once();
    }
    downloader_ = nullptr;
    connected_ = false;
}

void DownloadThread::wait_countdown(std::chrono::milliseconds time) {
    std::int64_t remaining = time.count();
    wait_seconds_ = static_cast<std::int32_t>((remaining + 500) / 1000);
    for (std::int64_t steps = time.count() / 500; steps > 0; --steps) {
        if (stop_ || !sleep_unless_quit(std::chrono::milliseconds(500))) break;
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

void DownloadThread::log(const std::string& text) { job_.log().append_answer(text); }

void DownloadThread::on_exit() {
    {
        std::lock_guard guard(lock_);
        if (downloader_) downloader_->stop();
        drop_connection(true);
    }
    job_.detach(this);
}

}  // namespace tovan
