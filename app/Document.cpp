#include "app/Document.h"

#include <unistd.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <set>

#include "app/CatalogFile.h"
#include "app/DamagedFiles.h"
#include "app/ScanFilterRecord.h"
#include "app/TreeEntryRecord.h"
#include "tovan/ProfilerScope.h"
#include "tovan/SafeSave.h"
#include "tovan/io/Failure.h"
#include "tovan/io/IFStream.h"
#include "tovan/log/LogChannels.h"

namespace tovan {
namespace {

constexpr const char* ServersFile = "servers.dat";
constexpr const char* PreviousServersFile = "prev_servers.dat";
constexpr const char* DownloadsFile = "downloads.dat";
constexpr const char* FilterFile = "filter.dat";
constexpr std::uint8_t ExportFileVersion = 0;

template <class Visit>
void for_each_node(const TreeEntry& node, Visit visit) {
    visit(node);
    for (const SharedPtr<TreeEntry>& child : node.children) for_each_node(*child, visit);
}

SharedPtr<TreeEntry> make_downloads_root(std::string name) {
    SharedPtr<TreeEntry> root = TreeEntry::make_group(std::move(name));
    root->kind = TreeEntry::Downloads;
    return root;
}

}  // namespace

Document::Document(std::string data_folder) : data_folder_(std::move(data_folder)) {
    filter_.set_masks({"*.*"});
}

std::string Document::path_of(const char* file_name) const {
    return (std::filesystem::path(data_folder_) / file_name).string();
}

bool Document::exists(const char* file_name) const {
    return ::access(path_of(file_name).c_str(), F_OK) == 0;
}

std::optional<std::string> Document::try_read(const char* file_name,
                                              const std::function<void(io::IStream&)>& read) const {
    try {
        io::IFStream in(path_of(file_name));
        read(in);
        return std::nullopt;
    } catch (const std::exception& failure) {
        return failure.what();
    }
}

void Document::load(DamagedFiles& damaged) {
    filter_.set_masks({"*.*"});
    servers_.reset();
    downloads_.reset();
    load_servers(damaged);
    if (exists(DownloadsFile)) {
        const auto failure = try_read(
            DownloadsFile, [&](io::IStream& in) { downloads_ = TreeEntryRecord::read(in); });
        if (failure)
            damaged.found(path_of(DownloadsFile), "the download jobs", *failure,
                          "no download jobs are known");
    }
    if (!servers_)
        servers_ = TreeEntry::make_group("Servers");
    if (!downloads_)
        downloads_ = make_downloads_root("Tasks");
    CatalogFile::load_all(data_folder_, *servers_, damaged);
    certificates_.load(data_folder_, damaged);
    certificates_.apply(*servers_);
    certificates_.apply_to_jobs(*servers_, *downloads_);
    if (exists(FilterFile)) {
        const auto failure =
            try_read(FilterFile, [&](io::IStream& in) { ScanFilterRecord::read(in, filter_); });
        if (failure) {
            filter_.set_depths({});
            filter_.set_masks({"*.*"});
            damaged.found(path_of(FilterFile), "the change filter", *failure,
                          "the filter \"*.*\" is used, which marks every change");
        }
    }
    link_filters(*servers_);
}

void Document::load_server_list(DamagedFiles& damaged) {
    servers_.reset();
    load_servers(damaged);
    if (!servers_)
        servers_ = TreeEntry::make_group("Servers");
}

// Every server and its catalog's name is in the server list, so with neither it
// nor the save before it there is nothing to run on.
void Document::load_servers(DamagedFiles& damaged) {
    if (!exists(ServersFile))
        return;
    const auto read_servers = [&](io::IStream& in) { servers_ = TreeEntryRecord::read(in); };
    const auto failure = try_read(ServersFile, read_servers);
    if (failure) {
        if (!exists(PreviousServersFile) || try_read(PreviousServersFile, read_servers))
            throw io::Failure(*failure);
        damaged.found(path_of(ServersFile), "the server list", *failure,
                      std::string("the servers as of the save before (") + PreviousServersFile +
                          ") are used");
    }
    take_old_downloads_root();
}

// Older files kept the download tasks as a child of the server tree.
void Document::take_old_downloads_root() {
    auto& children = servers_->children;
    const auto found = std::find_if(children.begin(), children.end(), [](const auto& child) {
        return child->kind == TreeEntry::Downloads;
    });
    if (found == children.end())
        return;
    downloads_ = *found;
    children.erase(found);
}

void Document::link_filters(const TreeEntry& node) {
    for_each_node(node, [this](const TreeEntry& each) {
        if (each.server)
            each.server->set_parent_filter(&filter_);
    });
}

void Document::store() {
    const ProfilerScope profile("Document::store()");
    SafeSave::write(
        data_folder_, ServersFile,
        [&](io::OFStream& out) { TreeEntryRecord::write(out, *servers_); }, PreviousServersFile);
    std::exception_ptr catalog_failure;
    try {
        CatalogFile::save_all(data_folder_, *servers_);
    } catch (const std::exception&) {
        catalog_failure = std::current_exception();
    }
    SafeSave::write(data_folder_, FilterFile,
                    [&](io::OFStream& out) { ScanFilterRecord::write(out, filter_); });
    store_downloads();
    certificates_.save(data_folder_, *servers_);
    if (catalog_failure)
        std::rethrow_exception(catalog_failure);
}

void Document::store_downloads() {
    SafeSave::write(data_folder_, DownloadsFile,
                    [&](io::OFStream& out) { TreeEntryRecord::write(out, *downloads()); });
}

SharedPtr<TreeEntry> Document::downloads() {
    if (!downloads_)
        downloads_ = make_downloads_root("Downloads");
    return downloads_;
}

bool Document::export_node(const TreeEntry& node, const std::string& path) const {
    try {
        SafeSave::write_file(path, [&](io::OFStream& out) {
            out.write_byte(ExportFileVersion);
            TreeEntryRecord::write_export(out, node);
        });
        return true;
    } catch (const std::exception& error) {
        error_log(1) << error.what() << std::endl;
        return false;
    }
}

SharedPtr<TreeEntry> Document::import_file(const std::string& path) const {
    try {
        io::IFStream in(path);
        std::uint8_t version = 0;
        in.read_byte(version);
        SharedPtr<TreeEntry> node = TreeEntryRecord::read_export(in);
        give_unused_catalog_names(*node);
        return node;
    } catch (const std::exception& error) {
        error_log(1) << error.what() << std::endl;
        return {};
    }
}

// Two servers with one catalog name would share one catalog file and overwrite
// each other's catalog: an imported server whose name is taken draws a new one.
void Document::give_unused_catalog_names(const TreeEntry& imported) const {
    std::set<std::string> used;
    if (servers_) {
        for_each_node(*servers_, [&](const TreeEntry& node) {
            if (node.server)
                used.insert(node.server->catalog_name());
        });
    }
    for_each_node(imported, [&](const TreeEntry& node) {
        if (!node.server)
            return;
        while (used.count(node.server->catalog_name()) != 0)
            node.server->set_catalog_name(make_catalog_name());
        used.insert(node.server->catalog_name());
    });
}

}  // namespace tovan
