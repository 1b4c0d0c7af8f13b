#pragma once

#include <string>

#include "engine/ScanFilter.h"
#include "engine/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// The document: the tree of groups and servers, the tree of download tasks and
// the application-wide change filter, with the data files that keep them
// ("servers.dat" and its backup "prev_servers.dat", "downloads.dat",
// "filter.dat") and every server's catalog file, all in the data folder.
class CLumiskDoc {
public:
    explicit CLumiskDoc(std::string data_folder);
    CLumiskDoc(const CLumiskDoc&) = delete;
    CLumiskDoc& operator=(const CLumiskDoc&) = delete;

    // Reads every data file and catalog; a missing file gives its default. A data
    // file that cannot be read raises tovan::io::Failure.
    void load();
    // Writes every data file and catalog by safe saves; a failure is logged and
    // ends the save, leaving the files not yet written as they were. False then,
    // so that a caller can tell the user the change was not kept.
    bool store();

    // Writes the node and everything below it, catalogs included, to a ".srv"
    // file; false (logged) when it cannot be written. No folder is made for it.
    bool export_node(const TreeEntry& node, const std::string& path) const;
    // The node read from a ".srv" file, or null (logged); the caller adds it to
    // a group.
    SharedPtr<TreeEntry> import_file(const std::string& path) const;

    const std::string& data_folder() const { return data_folder_; }
    SharedPtr<TreeEntry> servers() const { return servers_; }
    SharedPtr<TreeEntry> downloads();
    ScanFilter& filter() { return filter_; }

private:
    std::string path_of(const char* file_name) const;
    bool exists(const char* file_name) const;
    void take_old_downloads_root();
    void link_filters(const TreeEntry& node);
    void give_unused_catalog_names(const TreeEntry& imported) const;

    std::string data_folder_;
    SharedPtr<TreeEntry> servers_;
    SharedPtr<TreeEntry> downloads_;
    ScanFilter filter_;
};

}  // namespace tovan
