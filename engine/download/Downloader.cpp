#include "engine/download/Downloader.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <thread>

#include "engine/catalog/Entry.h"
#include "engine/catalog/Server.h"
#include "engine/download/DestinationName.h"
#include "engine/download/DownloadThread.h"
#include "tovan/Paths.h"

namespace tovan {
namespace {

// The settings that reach the server; its catalog stays behind.
SharedPtr<Server> copy_of(const Server& server) {
    auto copy = tovan::make_shared<Server>();
    switch (server.kind()) {
        case ServerKind::Local:
            copy->set_local(server.drive(), server.location());
            break;
        case ServerKind::Network:
            copy->set_network(server.host(), server.location());
            break;
        case ServerKind::Ftp:
        case ServerKind::Ftps:
        case ServerKind::Sftp:
            copy->set_ftp(server.ftp(), server.location(), server.kind());
            break;
        case ServerKind::Http:
        case ServerKind::Https:
            copy->set_http(server.http_host(), server.http_port(), server.location(),
                           server.kind());
            break;
    }
    copy->set_connections_limit(server.connections_limit());
    copy->set_delay(server.delay());
    copy->set_tls_trust(server.tls_trust());
    return copy;
}

bool same_item(const DownloadItem& a, const DownloadItem& b) {
    return a.source == b.source && a.destination == b.destination;
}

// Part files of different jobs that fetch the same file to the same place must
// differ, so the tag is random rather than derived from the job.
std::string new_part_tag() {
    std::random_device random;
    char tag[9];
    std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(random()));
    return tag;
}

DownloadTask with_part_tag(DownloadTask task) {
    if (task.part_tag.empty())
        task.part_tag = new_part_tag();
    return task;
}

std::uint64_t downloaded_of(const std::vector<DownloadItem>& items) {
    std::uint64_t sum = 0;
    for (const DownloadItem& item : items) sum += item.downloaded;
    return sum;
}

}  // namespace

Downloader::Downloader(InternetSession* session) : session_(session) {
    task_.part_tag = new_part_tag();
}

// A job stored before part files had no tag; it gets one now.
Downloader::Downloader(const DownloadTask& stored, InternetSession* session)
    : task_(with_part_tag(stored)), status_(stored.name), session_(session) {}

Downloader::~Downloader() {
    pause();
    wait_for_thread(std::chrono::seconds(2500));
}

bool Downloader::wait_for_thread(std::chrono::milliseconds limit) const {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (has_thread()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void Downloader::set_server(const Server& server) {
    SharedPtr<Server> copy = copy_of(server);
    std::lock_guard guard(lock_);
    task_.server = std::move(copy);
}

void Downloader::set_name(std::string name) {
    std::lock_guard guard(lock_);
    status_ = name;
    task_.name = std::move(name);
}

void Downloader::set_session(InternetSession* session) {
    std::lock_guard guard(lock_);
    session_ = session;
}

void Downloader::add_entry(const Entry& entry, const std::string& folder, bool changed_only) {
    std::lock_guard guard(lock_);
    task_.destination_folder = DestinationName::as_folder(folder);
    task_.destination_path = task_.destination_folder + name_of(entry);
    add_tree(entry, task_.destination_folder, changed_only);
}

std::string Downloader::name_of(const Entry& entry) const {
    if (entry.parent() != nullptr)
        return std::string(entry.name());
    // A catalog's root is named by its whole location.
    std::string name = last_path_part(entry.name());
    if (name.empty())
        name = last_path_part(task_.server->title());
    return name.empty() ? "download" : name;
}

void Downloader::add_tree(const Entry& entry, const std::string& folder, bool changed_only) {
    const std::string name = name_of(entry);
    if (!DestinationName::is_safe(name)) {
        log_.append_answer("refused the name \"" + name + "\" in " + folder +
                           ": it would be written outside the destination folder");
        return;
    }
    if (entry.is_folder()) {
        for (const SharedPtr<Entry>& child : entry.children())
            add_tree(*child, folder + name + "/", changed_only);
        return;
    }
    const EntryState state = entry.state();
    if (changed_only && state != EntryState::New && state != EntryState::Modified)
        return;
    queue({task_.server->source_path(&entry), folder + name, entry.size(), 0});
}

void Downloader::add_path(const std::string& file_name, const std::string& folder) {
    std::lock_guard guard(lock_);
    task_.destination_folder = DestinationName::as_folder(folder);
    task_.destination_path = task_.destination_folder + file_name;
    if (!DestinationName::is_safe(file_name)) {
        log_.append_answer("refused the name \"" + file_name +
                           "\": it would be written outside the destination folder");
        return;
    }
    std::string source = task_.server->source_path();
    if (!source.empty() && !ends_in_separator(source))
        source += task_.server->kind() == ServerKind::Network ? '\\' : '/';
    queue({source + file_name, task_.destination_path, 0, 0});
}

void Downloader::queue(DownloadItem item) {
    task_.total += item.size;
    task_.pending.push_back(std::move(item));
}

void Downloader::pause() {
    std::lock_guard guard(lock_);
    paused_ = true;
    restart_ = false;
    status_ = task_.name;
    if (thread_ != nullptr)
        thread_->stop();
}

void Downloader::resume() {
    std::lock_guard guard(lock_);
    paused_ = false;
    stop_reason_.clear();
    // A thread still there owns its active files: queued again now, a file it
    // is finishing would be fetched twice. One that is stopping hands them
    // back as it goes, and a new thread starts then.
    if (thread_ != nullptr) {
        restart_ = thread_->stopping();
        return;
    }
    requeue_active();
    if (is_finished())
        return;
    log_.clear();
    start_thread();
}

void Downloader::start_thread() {
    thread_ = new DownloadThread(*this, session_);
    thread_->start();
}

void Downloader::again() {
    std::lock_guard guard(lock_);
    task_.pending.insert(task_.pending.begin(), task_.dropped.begin(), task_.dropped.end());
    task_.pending.insert(task_.pending.begin(), task_.completed.begin(), task_.completed.end());
    task_.completed.clear();
    task_.dropped.clear();
    task_.failure.clear();
}

std::optional<DownloadItem> Downloader::take_next() {
    std::lock_guard guard(lock_);
    if (task_.pending.empty())
        return std::nullopt;
    DownloadItem item = std::move(task_.pending.front());
    task_.pending.erase(task_.pending.begin());
    const std::string name = last_path_part(item.source);
    status_ = name.empty() ? task_.name : name;
    if (!task_.pending.empty())
        status_ += "...";
    return item;
}

void Downloader::add_active(const DownloadItem& item) {
    std::lock_guard guard(lock_);
    task_.active.push_back(item);
}

void Downloader::update_active(const DownloadItem& item) {
    std::lock_guard guard(lock_);
    for (DownloadItem& active : task_.active)
        if (same_item(active, item))
            active = item;
}

void Downloader::complete(const DownloadItem& item) {
    std::lock_guard guard(lock_);
    remove_active(item);
    task_.completed.push_back(item);
    status_ = task_.name;
}

void Downloader::drop(const DownloadItem& item, const std::string& reason) {
    std::lock_guard guard(lock_);
    remove_active(item);
    task_.dropped.push_back(item);
    task_.failure = reason;
    status_ = task_.name;
}

void Downloader::skip(const DownloadItem& item, const std::string& reason) {
    std::lock_guard guard(lock_);
    remove_active(item);
    task_.total -= std::min(task_.total, item.size);
    task_.failure = reason;
    status_ = task_.name;
}

void Downloader::set_stop_reason(std::string reason) {
    std::lock_guard guard(lock_);
    stop_reason_ = std::move(reason);
}

std::string Downloader::stop_reason() const {
    std::lock_guard guard(lock_);
    return stop_reason_;
}

std::uint32_t Downloader::tries() const {
    std::lock_guard guard(lock_);
    return tries_;
}

void Downloader::set_tries(std::uint32_t tries) {
    std::lock_guard guard(lock_);
    tries_ = tries;
}

std::string Downloader::part_of(const DownloadItem& item) const {
    std::lock_guard guard(lock_);
    return DestinationName::part_of(item.destination, task_.part_tag);
}

void Downloader::remove_active(const DownloadItem& item) {
    std::erase_if(task_.active,
                  [&](const DownloadItem& active) { return same_item(active, item); });
}

void Downloader::requeue_active() {
    std::lock_guard guard(lock_);
    task_.pending.insert(task_.pending.begin(), task_.active.begin(), task_.active.end());
    task_.active.clear();
}

void Downloader::correct_total(std::uint64_t old_size, std::uint64_t new_size) {
    std::lock_guard guard(lock_);
    task_.total = task_.total - old_size + new_size;
}

bool Downloader::paused_flag() const {
    std::lock_guard guard(lock_);
    return paused_;
}

bool Downloader::pending_empty() const {
    std::lock_guard guard(lock_);
    return task_.pending.empty();
}

bool Downloader::is_finished() const {
    std::lock_guard guard(lock_);
    return task_.pending.empty() && task_.active.empty();
}

bool Downloader::has_thread() const {
    std::lock_guard guard(lock_);
    return thread_ != nullptr;
}

void Downloader::detach(const DownloadThread* thread) {
    std::lock_guard guard(lock_);
    if (thread_ != thread)
        return;
    thread_ = nullptr;
    if (restart_ && !paused_) {
        requeue_active();
        if (!is_finished())
            start_thread();
    }
    restart_ = false;
}

Downloader::Status Downloader::status() const {
    std::lock_guard guard(lock_);
    Status status;
    status.name = task_.name;
    status.status = status_;
    status.total = task_.total;
    status.completed_count = task_.completed.size();
    status.item_count =
        task_.pending.size() + task_.active.size() + task_.completed.size() + task_.dropped.size();
    if (task_.total != 0) {
        const std::uint64_t done = downloaded_of(task_.pending) + downloaded_of(task_.active) +
                                   downloaded_of(task_.completed) + downloaded_of(task_.dropped);
        status.progress = static_cast<double>(done) * 100.0 / static_cast<double>(task_.total);
    }
    // The thread of a finished job lingers a moment; its last file's progress
    // would show beside the job's 100%.
    const bool finished = is_finished();
    if (thread_ != nullptr && !finished) {
        status.wait_seconds = thread_->wait_seconds();
        status.speed = thread_->speed();
        status.file_progress = thread_->file_progress();
    }
    // A job that fetched nothing at all has not done its work either.
    if (finished && (!task_.dropped.empty() || status.item_count == 0))
        status.state = State::Failed;
    else if (finished)
        status.state = State::Complete;
    else if (status.wait_seconds >= 1)
        status.state = State::Waiting;
    else if (thread_ != nullptr && !thread_->stopping() && !thread_->is_connected())
        status.state = State::Connecting;
    else if (thread_ == nullptr)
        status.state = State::Paused;
    else if (paused_)
        status.state = State::Disconnecting;
    else
        status.state = State::Running;
    if (status.state == State::Failed)
        status.failure = task_.failure;
    return status;
}

DownloadTask Downloader::task() const {
    std::lock_guard guard(lock_);
    return task_;
}

SharedPtr<Server> Downloader::server() const {
    std::lock_guard guard(lock_);
    return task_.server;
}

SharedPtr<Server> Downloader::server_copy() const {
    const SharedPtr<Server> own = server();
    return own ? copy_of(*own) : SharedPtr<Server>();
}

std::string Downloader::destination_folder() const {
    std::lock_guard guard(lock_);
    return task_.destination_folder;
}

std::string Downloader::destination_path() const {
    std::lock_guard guard(lock_);
    return task_.destination_path;
}

}  // namespace tovan
