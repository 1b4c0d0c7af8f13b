#pragma once

#include <string>
#include <vector>

#include "engine/catalog/Entry.h"
#include "engine/catalog/Server.h"
#include "engine/download/Downloader.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class InternetSession;

// Catalog entries of one server to be downloaded into a local folder as one job.
class EntryDownload {
public:
    // A job named after the first entry that fetches every entry, folders with
    // what they hold (only what is marked new or modified with changed_only);
    // empty when there is nothing to fetch. The job is neither stored nor started.
    static SharedPtr<Downloader> make_job(InternetSession* session, const Server& server,
                                          const std::vector<SharedPtr<Entry>>& entries,
                                          const std::string& folder, bool changed_only);
};

}  // namespace tovan
