#pragma once

#include <condition_variable>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/catalog/Server.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// Saves catalogs on a thread of its own, so that writing a large catalog and
// waiting for the disk never holds up the interface. Every call comes from one
// thread, the interface's. The saving thread reads a catalog only under the
// catalog lock, while CatalogFile puts it into memory; the file is written after.
//
// A SharedPtr's counts are not atomic, so the servers' pointers are copied (save)
// and released (tick, finish) on the interface thread only; the saving
// thread reads a server through a plain pointer that its job keeps valid.
class CatalogSaver {
public:
    explicit CatalogSaver(std::string folder);
    // Finishes what is queued, then ends the thread.
    ~CatalogSaver();
    CatalogSaver(const CatalogSaver&) = delete;
    CatalogSaver& operator=(const CatalogSaver&) = delete;

    // Queues a save of the server's catalog as it is when the save begins; a save
    // of that server that has not begun yet covers it already. A failure is
    // logged and the old file stays, as CatalogFile::save does.
    void save(const SharedPtr<Server>& server);
    // The timer's work: hands over the saves still waiting for their file names
    // and lets go of the servers whose saves are done.
    void tick();
    // Whether a save is queued or under way.
    bool busy() const;
    // Waits until every queued save is written, then lets go of the servers.
    void finish();

private:
    enum class Stage { Waiting, Saving, Done };
    struct Job {
        SharedPtr<Server> server;
        std::string file_name;
        Stage stage = Stage::Waiting;
    };

    // Reading a file name takes the catalog lock, which another catalog's save
    // may hold for a long walk: unless told to wait, the saves are handed over
    // at a later tick instead.
    void hand_over(bool wait);
    void queue(const SharedPtr<Server>& server, std::string file_name);
    void release_done();
    void run();
    // With lock_ held: the first job not begun, or null.
    Job* next_waiting();

    const std::string folder_;
    // Saves whose file names are not read yet; the interface thread's alone.
    std::vector<SharedPtr<Server>> unnamed_;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::list<Job> jobs_;
    bool quit_ = false;
    // Last, so that it starts once everything above is there.
    std::thread thread_;
};

}  // namespace tovan
