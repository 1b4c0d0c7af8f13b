#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/connection/TransferLog.h"
#include "engine/download/DownloadItem.h"
#include "engine/download/DownloadTask.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class DownloadThread;
class Entry;
class InternetSession;
class Server;

// A download job: one file, one folder tree or one URL copied from a server into
// a local folder by a thread of its own, with its own copy of the server's
// settings and its own transfer log. Its stored fields are a DownloadTask, so it
// survives restarts and resumes where it stopped.
class Downloader {
public:
    // What the downloads list shows in its Speed column, first that applies.
    enum class State { Complete, Failed, Waiting, Connecting, Paused, Disconnecting, Running };

    // A consistent picture of the job for a list row or a progress line.
    struct Status {
        State state = State::Paused;
        std::int32_t wait_seconds = 0;
        std::int32_t speed = 0;     // bytes per second
        double progress = -1;       // of the whole job, -1 when its size is unknown
        double file_progress = -1;  // of the current file, -1 when unknown
        std::size_t completed_count = 0;
        std::size_t item_count = 0;
        std::uint64_t total = 0;
        std::string name;
        std::string status;   // the current file's name, or the job's
        std::string failure;  // when failed: why the last file was left out
    };

    explicit Downloader(InternetSession* session = nullptr);
    // A stored job, not yet running.
    Downloader(const DownloadTask& stored, InternetSession* session);
    // Pauses the job and waits for its thread to go.
    ~Downloader();
    Downloader(const Downloader&) = delete;
    Downloader& operator=(const Downloader&) = delete;

    // Used while the job is made, before it runs.
    void set_server(const Server& server);
    void set_name(std::string name);
    void set_session(InternetSession* session);

    // Queues the files of a catalog entry (a folder with everything below it),
    // placed under folder by their catalog paths; with changed_only, only new
    // and modified files.
    void add_entry(const Entry& entry, const std::string& folder, bool changed_only);
    // Queues one file of the server's root location.
    void add_path(const std::string& file_name, const std::string& folder);

    void pause();
    // Puts unfinished files back in front of the queue and starts a thread.
    void resume();
    // Queues the completed and the dropped files again; completed ones whose
    // file is still whole complete at once.
    void again();

    bool is_finished() const;
    bool has_thread() const;
    // Waits, at most limit, until the job's thread has gone; false if it has not.
    bool wait_for_thread(std::chrono::milliseconds limit) const;
    Status status() const;
    DownloadTask task() const;
    SharedPtr<Server> server() const;
    // A copy of the job's server settings that the caller may change and give
    // back through set_server() while the job has no thread.
    SharedPtr<Server> server_copy() const;
    std::string destination_folder() const;
    std::string destination_path() const;
    TransferLog& log() { return log_; }

    // How long the job waits before it tries failed files again; 30 s.
    std::chrono::milliseconds retry_wait() const { return retry_wait_; }
    void set_retry_wait(std::chrono::milliseconds wait) { retry_wait_ = wait; }
    // After this many failed tries in a row, without a byte arriving between
    // them, the job gives up and pauses; 0, the default, tries for ever.
    std::uint32_t tries() const;
    void set_tries(std::uint32_t tries);
    // Why the job's thread stopped before the job was finished (it gave up,
    // or could not write); empty otherwise.
    std::string stop_reason() const;

    // The partial file that the item's bytes go to until it is whole.
    std::string part_of(const DownloadItem& item) const;

private:
    friend class DownloadThread;

    // Called by the job's thread.
    std::optional<DownloadItem> take_next();
    void add_active(const DownloadItem& item);
    void update_active(const DownloadItem& item);
    void complete(const DownloadItem& item);
    // Leaves out a file that cannot be fetched; the job ends failed.
    void drop(const DownloadItem& item, const std::string& reason);
    // Leaves out a source that is no file to copy, as if it never was queued.
    void skip(const DownloadItem& item, const std::string& reason);
    void set_stop_reason(std::string reason);
    void requeue_active();
    void correct_total(std::uint64_t old_size, std::uint64_t new_size);
    bool paused_flag() const;
    bool pending_empty() const;
    void detach(const DownloadThread* thread);

    std::string name_of(const Entry& entry) const;
    void add_tree(const Entry& entry, const std::string& folder, bool changed_only);
    void queue(DownloadItem item);
    void start_thread();
    void remove_active(const DownloadItem& item);

    mutable std::recursive_mutex lock_;
    DownloadTask task_;
    TransferLog log_;
    std::string status_;
    InternetSession* session_ = nullptr;
    DownloadThread* thread_ = nullptr;
    bool paused_ = false;
    // A resume that came while the old thread was still going.
    bool restart_ = false;
    std::chrono::milliseconds retry_wait_{30000};
    std::uint32_t tries_ = 0;
    std::string stop_reason_;
};

}  // namespace tovan
