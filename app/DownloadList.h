#pragma once

#include <chrono>
#include <vector>

#include "engine/download/Downloader.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class InternetSession;

// The jobs of the document's downloads tree, in list order: how a new job joins
// it, and how all of them are resumed at start and paused at the end.
class DownloadList {
public:
    explicit DownloadList(SharedPtr<TreeEntry> root) : root_(std::move(root)) {}

    // Every job below the root, depth first.
    std::vector<SharedPtr<Downloader>> jobs() const;
    // The nodes that hold them, in the same order.
    std::vector<SharedPtr<TreeEntry>> job_nodes() const;
    // An unfinished job that fetches what job fetches to the same place, or
    // null; position, when given, receives its place in jobs() counted from 1.
    SharedPtr<Downloader> same_job(const Downloader& job, std::size_t* position = nullptr) const;
    // Adds the job at the end, as a node named after it.
    void add(const SharedPtr<Downloader>& job);
    // Takes the job's node out of the tree; false when it is not there. The job
    // is paused and goes when its last holder lets go.
    bool remove(const SharedPtr<Downloader>& job);
    // Takes every finished job out; how many went.
    std::size_t remove_finished();

    // Gives every job the session and resumes it: unfinished jobs go on where
    // they stopped, finished ones stay complete.
    void resume_all(InternetSession* session) const;
    // Pauses every job and waits up to the limit for their threads to go; true
    // when all of them went.
    bool pause_all(std::chrono::milliseconds limit) const;

private:
    SharedPtr<TreeEntry> root_;
};

}  // namespace tovan
