#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/CertificateTrust.h"
#include "engine/catalog/ScanFilter.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class DamagedFiles;
namespace io {
class IStream;
}  // namespace io

// The document: the tree of groups and servers, the tree of download tasks and
// the application-wide change filter, with the data files that keep them
// ("servers.dat" and its backup "prev_servers.dat", "downloads.dat",
// "filter.dat") and every server's catalog file, all in the data folder.
class Document {
public:
    explicit Document(std::string data_folder);
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Reads every data file and catalog; a missing file gives its default. A file
    // that cannot be read goes to damaged and gives its default too: an empty
    // catalog, no download jobs, the filter "*.*", and for the server list the
    // save before it. Raises tovan::io::Failure when neither server list can be
    // read, or a damaged file cannot be moved aside.
    void load(DamagedFiles& damaged);
    // Reads the server list alone, as load() does, without the catalogs or the
    // other files: the names of the groups and servers at once, however large
    // the catalogs.
    void load_server_list(DamagedFiles& damaged);
    // Writes every data file and catalog by safe saves. A catalog that cannot be
    // written does not stop the others; a server list that cannot be written ends
    // the save, leaving the files not yet written as they were. Raises
    // tovan::io::Failure naming a file that could not be written and why,
    // so that a caller can tell the user the change was not kept.
    void store();
    // Writes "downloads.dat" alone, by a safe save, as store() does: a new job
    // is kept without writing every catalog.
    void store_downloads();

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
    // Saved by store(); apply() it to servers added since the load.
    CertificateTrust& certificates() { return certificates_; }

private:
    std::string path_of(const char* file_name) const;
    bool exists(const char* file_name) const;
    // Reads the file; the text of the failure when it cannot be read.
    std::optional<std::string> try_read(const char* file_name,
                                        const std::function<void(io::IStream&)>& read) const;
    void load_servers(DamagedFiles& damaged);
    void take_old_downloads_root();
    void link_filters(const TreeEntry& node);
    void give_unused_catalog_names(const TreeEntry& imported) const;

    std::string data_folder_;
    SharedPtr<TreeEntry> servers_;
    SharedPtr<TreeEntry> downloads_;
    ScanFilter filter_;
    CertificateTrust certificates_;
};

}  // namespace tovan
