#pragma once

#include <string>
#include <vector>

#include "engine/catalog/Entry.h"
#include "engine/catalog/Server.h"
#include "engine/download/Downloader.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class InternetSession;

// Jobs that fetch catalog entries, one job per server, each file or folder
// tree placed under the chosen folder as the catalog lays it out.
class EntryDownload {
public:
    // A catalog entry of a server: a file, a folder or the catalog's root.
    struct Place {
        SharedPtr<Server> server;
        SharedPtr<Entry> entry;
    };

    // The places grouped by server, in the order the servers first appear;
    // a place inside another place given is left out, as that one brings it.
    static std::vector<std::vector<Place>> by_server(const std::vector<Place>& places);
    // changed_only: only the new and modified files below a folder. The job
    // holds no item when nothing was left to fetch.
    static SharedPtr<Downloader> make_job(InternetSession* session, const Server& server,
                                          const std::vector<SharedPtr<Entry>>& entries,
                                          const std::string& folder, bool changed_only);
    // The job's name in the list: the entry's, or the first one's and how many
    // more there are.
    static std::string name_of(const std::vector<SharedPtr<Entry>>& entries);
};

}  // namespace tovan
