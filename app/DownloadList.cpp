#include "app/DownloadList.h"

#include <algorithm>

namespace tovan {
namespace {

void collect(const SharedPtr<TreeEntry>& node, std::vector<SharedPtr<TreeEntry>>& nodes) {
    if (node->download)
        nodes.push_back(node);
    for (const SharedPtr<TreeEntry>& child : node->children) collect(child, nodes);
}

bool remove_below(TreeEntry& node, const Downloader& job) {
    auto& children = node.children;
    const auto found = std::find_if(
        children.begin(), children.end(),
        [&](const SharedPtr<TreeEntry>& child) { return child->download.get() == &job; });
    if (found != children.end()) {
        children.erase(found);
        return true;
    }
    return std::any_of(children.begin(), children.end(), [&](const SharedPtr<TreeEntry>& child) {
        return remove_below(*child, job);
    });
}

}  // namespace

std::vector<SharedPtr<Downloader>> DownloadList::jobs() const {
    std::vector<SharedPtr<Downloader>> jobs;
    for (const SharedPtr<TreeEntry>& node : job_nodes()) jobs.push_back(node->download);
    return jobs;
}

std::vector<SharedPtr<TreeEntry>> DownloadList::job_nodes() const {
    std::vector<SharedPtr<TreeEntry>> nodes;
    collect(root_, nodes);
    return nodes;
}

SharedPtr<Downloader> DownloadList::same_job(const Downloader& job, std::size_t* position) const {
    const std::vector<SharedPtr<Downloader>> all = jobs();
    for (std::size_t at = 0; at < all.size(); ++at) {
        const Downloader& each = *all[at];
        if (!each.is_finished() && each.destination_path() == job.destination_path() &&
            each.server()->url() == job.server()->url()) {
            if (position != nullptr)
                *position = at + 1;
            return all[at];
        }
    }
    return {};
}

void DownloadList::add(const SharedPtr<Downloader>& job) {
    SharedPtr<TreeEntry> node = TreeEntry::make_group(job->status().name);
    node->kind = 0;
    node->download = job;
    root_->children.push_back(node);
}

bool DownloadList::remove(const SharedPtr<Downloader>& job) {
    if (!remove_below(*root_, *job))
        return false;
    job->pause();
    return true;
}

std::size_t DownloadList::remove_finished() {
    std::size_t removed = 0;
    for (const SharedPtr<Downloader>& job : jobs())
        if (job->is_finished() && remove(job))
            ++removed;
    return removed;
}

void DownloadList::resume_all(InternetSession* session) const {
    for (const SharedPtr<Downloader>& job : jobs()) {
        job->set_session(session);
        job->resume();
    }
}

bool DownloadList::pause_all(std::chrono::milliseconds limit) const {
    const std::vector<SharedPtr<Downloader>> all = jobs();
    for (const SharedPtr<Downloader>& job : all) job->pause();
    const auto end = std::chrono::steady_clock::now() + limit;
    return std::all_of(all.begin(), all.end(), [&](const SharedPtr<Downloader>& job) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        return job->wait_for_thread(std::max(left, std::chrono::milliseconds(0)));
    });
}

}  // namespace tovan
