#include "app/EntryDownload.h"

#include <algorithm>

#include "engine/catalog/CatalogLock.h"
#include "tovan/Paths.h"

namespace tovan {

namespace {

bool inside_another(const Entry& entry, const std::vector<EntryDownload::Place>& places) {
    CatalogGuard guard(catalog_lock());
    for (const Entry* up = entry.parent(); up != nullptr; up = up->parent())
        if (std::any_of(places.begin(), places.end(),
                        [up](const auto& place) { return place.entry.get() == up; }))
            return true;
    return false;
}

}  // namespace

std::vector<std::vector<EntryDownload::Place>> EntryDownload::by_server(
    const std::vector<Place>& places) {
    std::vector<std::vector<Place>> groups;
    for (const Place& place : places) {
        if (!place.server || !place.entry || inside_another(*place.entry, places))
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
