#include "app/CatalogSaver.h"

#include <algorithm>
#include <utility>

#include "app/CatalogFile.h"
#include "engine/catalog/CatalogLock.h"

namespace tovan {

CatalogSaver::CatalogSaver(std::string folder)
    : folder_(std::move(folder)), thread_(&CatalogSaver::run, this) {}

CatalogSaver::~CatalogSaver() {
    finish();
    {
        const std::lock_guard guard(lock_);
        quit_ = true;
        changed_.notify_all();
    }
    thread_.join();
}

void CatalogSaver::save(const SharedPtr<Server>& server) {
    unnamed_.push_back(server);
    hand_over(false);
}

void CatalogSaver::tick() {
    if (!unnamed_.empty())
        hand_over(false);
    release_done();
}

void CatalogSaver::hand_over(bool wait) {
    std::vector<std::string> names;
    {
        std::unique_lock catalog(catalog_lock(), std::defer_lock);
        if (wait)
            catalog.lock();
        else if (!catalog.try_lock())
            return;
        // Read now: the interface may change a server's location while it waits.
        for (const SharedPtr<Server>& server : unnamed_)
            names.push_back(CatalogFile::file_name(*server));
    }
    for (std::size_t index = 0; index < unnamed_.size(); ++index)
        queue(unnamed_[index], std::move(names[index]));
    unnamed_.clear();
}

void CatalogSaver::queue(const SharedPtr<Server>& server, std::string file_name) {
    const std::lock_guard guard(lock_);
    const bool covered = std::any_of(jobs_.begin(), jobs_.end(), [&](const Job& job) {
        return job.stage == Stage::Waiting && job.server == server;
    });
    if (covered)
        return;
    jobs_.push_back({server, std::move(file_name)});
    changed_.notify_all();
}

bool CatalogSaver::busy() const {
    if (!unnamed_.empty())
        return true;
    const std::lock_guard guard(lock_);
    return std::any_of(jobs_.begin(), jobs_.end(),
                       [](const Job& job) { return job.stage != Stage::Done; });
}

void CatalogSaver::release_done() {
    std::list<Job> done;
    {
        const std::lock_guard guard(lock_);
        for (auto job = jobs_.begin(); job != jobs_.end();) {
            const auto next = std::next(job);
            if (job->stage == Stage::Done)
                done.splice(done.end(), jobs_, job);
            job = next;
        }
    }
    // The servers go here, on the interface thread, outside the lock.
}

void CatalogSaver::finish() {
    if (!unnamed_.empty())
        hand_over(true);
    {
        std::unique_lock guard(lock_);
        changed_.wait(guard, [this] {
            return std::all_of(jobs_.begin(), jobs_.end(),
                               [](const Job& job) { return job.stage == Stage::Done; });
        });
    }
    release_done();
}

CatalogSaver::Job* CatalogSaver::next_waiting() {
    const auto found = std::find_if(jobs_.begin(), jobs_.end(),
                                    [](const Job& job) { return job.stage == Stage::Waiting; });
    return found != jobs_.end() ? &*found : nullptr;
}

void CatalogSaver::run() {
    std::unique_lock guard(lock_);
    for (;;) {
        changed_.wait(guard, [this] { return quit_ || next_waiting() != nullptr; });
        Job* job = next_waiting();
        if (job == nullptr)
            return;
        job->stage = Stage::Saving;
        // Neither is changed or let go before the job is done.
        const Server& server = *job->server;
        const std::string& file_name = job->file_name;
        guard.unlock();
        CatalogFile::save_as(folder_, file_name, server);
        guard.lock();
        job->stage = Stage::Done;
        changed_.notify_all();
    }
}

}  // namespace tovan
