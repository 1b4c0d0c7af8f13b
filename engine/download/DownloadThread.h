#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

#include "engine/connection/Connection.h"
#include "engine/connection/FileDownloader.h"
#include "engine/download/DownloadItem.h"
#include "tovan/WorkerThread.h"

namespace tovan {

class Downloader;
class InternetSession;
class TransferLog;

// The worker of one download job: connects to the job's server, fetches its
// files one chunk at a time into partial files that take their names when
// whole, and after a failure waits half a minute and tries again over a new
// connection, until the job is done, paused, or out of the tries it was given.
//
// The job reads the figures below while holding its own lock; the thread clears
// the job's pointer to it, under that lock, before it goes.
class DownloadThread : public WorkerThread {
public:
    DownloadThread(Downloader& job, InternetSession* session);

    // Asks the thread to end: closes its connection so a transfer in progress
    // fails promptly, and stops it before its next chunk.
    void stop();
    bool stopping() const { return stop_.load(); }
    bool is_connected() const { return connected_.load(); }
    std::int32_t wait_seconds() const { return wait_seconds_.load(); }
    std::int32_t speed() const { return speed_.load(); }
    double file_progress() const { return file_progress_.load(); }

protected:
    bool idle_step() override;
    void on_exit() override;

private:
    void step();
    bool connect();
    void start_next_file();
    void take_over_destination();
    void refuse_file();
    void leave_out(const std::string& reason);
    std::string not_found_reason() const;
    void read_next_chunk();
    void finish_file();
    void settle_file();
    void remove_empty_part();
    void fail(const std::string& message);
    bool give_up(const std::string& reason);
    void drop_connection(bool say_so);
    void wait_countdown(std::chrono::milliseconds time);
    void set_file_progress();
    void log(const std::string& text);

    Downloader& job_;
    InternetSession* session_;
    std::mutex lock_;             // held for every step
    std::mutex connection_lock_;  // guards connection_, which stop() closes from outside
    SharedPtr<Connection> connection_;
    SharedPtr<FileDownloader> downloader_;
    DownloadItem current_;
    std::string part_;  // the current item's partial file
    bool in_progress_ = false;
    std::uint32_t failures_ = 0;  // failed tries in a row
    std::chrono::steady_clock::time_point timer_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> connected_{false};
    std::atomic<std::int32_t> wait_seconds_{0};
    std::atomic<std::int32_t> speed_{0};
    std::atomic<double> file_progress_{-1};
};

}  // namespace tovan
