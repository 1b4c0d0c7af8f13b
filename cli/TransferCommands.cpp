#include "cli/TransferCommands.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <functional>

#include "cli/CliError.h"
#include "cli/NodeFinder.h"
#include "tovan/log/Log.h"

namespace tovan::cli {
namespace {

std::string why_in_log() {
    const std::string log = Log::opened_file_name();
    return log.empty() ? std::string() : " (" + log + " says why)";
}

// Commands find nodes by their labels, so an imported node whose label is
// taken gets a number; its servers find their filters' parent in the document.
void fit_in(TreeEntry& node, const NodeFinder& finder, const ScanFilter& filter) {
    if (finder.is_taken(NodeFinder::bare_label(node)))
        node.name = finder.unused(NodeFinder::bare_label(node));
    if (node.server)
        node.server->set_parent_filter(&filter);
    for (const SharedPtr<TreeEntry>& child : node.children) fit_in(*child, finder, filter);
}

}  // namespace

void TransferCommands::add_to(CLI::App& app) {
    CLI::App* exporting =
        app.add_subcommand("export", "Write a server or group with its catalogs to a file");
    exporting->add_option("name", name_, "Server or group")->required();
    exporting->add_option("file", file_, "File to write (.srv)")->required();
    context_.on(exporting, [this] { export_node(); });

    CLI::App* importing = app.add_subcommand("import", "Add the servers of an exported file");
    importing->add_option("file", file_, "Exported file (.srv)")->required();
    importing->add_option("--group", group_, "Group to put them in (default: the top)");
    context_.on(importing, [this] { import_file(); });
}

// The file goes into a folder that is there: a mistyped path must not make
// folders anywhere, the root of the file system included.
void TransferCommands::export_node() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(file_, error).parent_path();
    if (!std::filesystem::is_directory(folder, error))
        throw CliError("there is no folder " + folder.string() +
                       "; make it first or choose another file");
    auto session = context_.open(Session::Access::Read);
    const NodeFinder::Target target = NodeFinder(session->document().servers()).find(name_);
    if (target.entry)
        throw CliError("export takes a server or a group, not a path inside one", CliError::Usage);
    if (!session->document().export_node(*target.node, file_))
        throw CliError(file_ + " can't be written" + why_in_log() + "; choose another file");
    context_.output.result({{"exported", name_}, {"file", file_}},
                           "exported " + name_ + " to " + file_);
}

void TransferCommands::import_file() {
    file_ = context_.path(file_);
    auto session = context_.open(Session::Access::Change);
    Document& document = session->document();
    const NodeFinder finder(document.servers());
    const SharedPtr<TreeEntry> group = finder.find_group(group_);
    const SharedPtr<TreeEntry> node = document.import_file(file_);
    if (!node)
        throw CliError(file_ + " can't be read as an exported file" + why_in_log() +
                       "; give a file that `ferrovane-cli export` or Ferrovane wrote");
    fit_in(*node, finder, document.filter());
    group->children.push_back(node);
    session->save();
    const std::string label = NodeFinder::bare_label(*node);
    context_.output.result({{"imported", label}, {"servers", node->server_count()}},
                           "imported " + label + " (" + std::to_string(node->server_count()) +
                               (node->server_count() == 1 ? " server)" : " servers)"));
}

}  // namespace tovan::cli
