#include "app/EntryDownload.h"

#include <algorithm>
#include <unordered_set>

#include "engine/catalog/CatalogLock.h"
#include "tovan/Paths.h"

namespace tovan {

namespace {

// Under the catalog lock, which keeps the parent links.
bool inside_any(const Entry& entry, const std::unordered_set<const Entry*>& folders) {
    for (const Entry* up = entry.parent(); up != nullptr; up = up->parent())
        if (folders.contains(up))
            return true;
    return false;
}

}  // namespace

std::vector<std::vector<EntryDownload::Place>> EntryDownload::by_server(
    const std::vector<Place>& places) {
    // A search may hand over a hundred thousand places: the folders among them
    // are looked up, not searched.
    std::unordered_set<const Entry*> folders;
    for (const Place& place : places)
        if (place.entry && place.entry->is_folder())
            folders.insert(place.entry.get());
    std::vector<std::vector<Place>> groups;
    CatalogGuard guard(catalog_lock());
    for (const Place& place : places) {
        if (!place.server || !place.entry || inside_any(*place.entry, folders))
            continue;
        auto group = std::find_if(groups.begin(), groups.end(), [&](const auto& group) {
            return group.front().server == place.server;
        });
        if (group == groups.end())
            groups.push_back({place});
        else
            group->push_back(place);
    }
    return groups;
}

SharedPtr<Downloader> EntryDownload::make_job(InternetSession* session, const Server& server,
                                              const std::vector<SharedPtr<Entry>>& entries,
                                              const std::string& folder, bool changed_only) {
    auto job = make_shared<Downloader>(session);
    job->set_server(server);
    for (const SharedPtr<Entry>& entry : entries) job->add_entry(*entry, folder, changed_only);
    job->set_name(name_of(entries));
    return job;
}

std::string EntryDownload::name_of(const std::vector<SharedPtr<Entry>>& entries) {
    if (entries.empty())
        return {};
    const Entry& first = *entries.front();
    // A catalog's root is named by its whole location.
    std::string name =
        first.parent() != nullptr ? std::string(first.name()) : last_path_part(first.name());
    if (entries.size() > 1)
        name += " and " + std::to_string(entries.size() - 1) + " more";
    return name;
}

}  // namespace tovan
