#include "app/EntryDownload.h"

namespace tovan {

SharedPtr<Downloader> EntryDownload::make_job(InternetSession* session, const Server& server,
                                              const std::vector<SharedPtr<Entry>>& entries,
                                              const std::string& folder, bool changed_only) {
    if (entries.empty())
        return {};
    SharedPtr<Downloader> job = make_shared<Downloader>(session);
    job->set_server(server);
    for (const SharedPtr<Entry>& entry : entries) job->add_entry(*entry, folder, changed_only);
    job->set_name(std::string(entries.front()->name()));
    if (job->status().item_count == 0)
        return {};
    return job;
}

}  // namespace tovan
