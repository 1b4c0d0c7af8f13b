#include "cli/ListCommand.h"

#include <sys/stat.h>

#include <CLI/CLI.hpp>

#include "app/DamagedFiles.h"
#include "app/DataFolder.h"
#include "app/Document.h"
#include "app/TextFormats.h"
#include "cli/ChangeList.h"
#include "cli/CliError.h"
#include "cli/DepthText.h"
#include "cli/JsonValue.h"
#include "cli/NodeFinder.h"
#include "cli/ServerUrl.h"
#include "cli/StatusCheck.h"

namespace tovan::cli {
namespace {

// Without the check only a local folder can be looked at; the others are not
// known, since the online state is not stored.
std::string state_of(const TreeEntry& node, bool checked) {
    if (checked)
        return node.online ? "online" : "offline";
    const Server& server = *node.server;
    if (server.kind() != ServerKind::Local)
        return "unchecked";
    struct stat info;
    const std::string path = server.root()->full_path();
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? "online" : "offline";
}

std::string indent(int level) {
    return std::string(static_cast<std::size_t>(level) * 2, ' ');
}

}  // namespace

void ListCommand::add_to(CLI::App& app) {
    CLI::App* list =
        app.add_subcommand("list", "Show the servers with their state, counts and sizes");
    list->add_flag("--no-check", no_check_,
                   "Don't check which servers are online (remote ones show unchecked)");
    list->add_flag("--names", names_,
                   "Print only the names of the groups and servers, one a line, from the server "
                   "list alone (for shell completion)");
    context_.on(list, [this] { run(); });
}

void ListCommand::run() {
    if (names_) {
        print_names();
        return;
    }
    auto session = context_.open(Session::Access::Read);
    const SharedPtr<TreeEntry> root = session->document().servers();
    InternetSession* internet =
        session->application() ? session->application()->internet_session() : nullptr;
    if (!no_check_ && !StatusCheck::run(session->document(), session->options(), internet, {root}))
        throw CliError("stopped while checking which servers are online");
    if (root->children.empty())
        context_.output.message("no servers yet: `ferrovane-cli add PATH|URL` adds one");
    for (const SharedPtr<TreeEntry>& child : root->children) show(*child, "", 0);
}

// Reads the saved server list without taking the folder's lock or making the
// folder, so that it is quick however large the catalogs, works beside a
// running holder, and prints nothing where there is no data yet.
void ListCommand::print_names() const {
    const std::string folder = DataFolder::choose(DataFolder::process_sources(context_.data_dir));
    if (folder.empty())
        return;
    Document document(folder);
    DamagedFiles damaged(DamagedFiles::Handling::LeaveInPlace);
    try {
        document.load_server_list(damaged);
    } catch (const std::exception& failure) {
        throw CliError("the server list in " + folder + " can't be read (" + failure.what() +
                       "); restore servers.dat or prev_servers.dat from a backup");
    }
    for (const std::string& warning : damaged.warnings()) Output::note("warning: " + warning);
    for (const SharedPtr<TreeEntry>& child : document.servers()->children) print_names(*child);
}

void ListCommand::print_names(const TreeEntry& node) const {
    const std::string name = NodeFinder::bare_label(node);
    context_.output.result({{"type", node.server ? "server" : "group"}, {"name", name}}, name);
    for (const SharedPtr<TreeEntry>& child : node.children) print_names(*child);
}

void ListCommand::show(const TreeEntry& node, const std::string& group, int level) const {
    if (node.server) {
        show_server(node, group, level);
        return;
    }
    const std::string name = NodeFinder::bare_label(node);
    CatalogStats stats;
    node.statistics(stats);
    const std::size_t changes = ChangeList::count_below(node);
    context_.output.result({{"type", "group"},
                            {"name", name},
                            {"group", text_or_null(group)},
                            {"url", nullptr},
                            {"state", nullptr},
                            {"depth", nullptr},
                            {"servers", node.server_count()},
                            {"files", stats.files},
                            {"folders", stats.folders},
                            {"size", stats.current_size},
                            {"changes", changes}},
                           indent(level) + name + "/  (" + std::to_string(node.server_count()) +
                               (node.server_count() == 1 ? " server, " : " servers, ") +
                               size_text(static_cast<std::int64_t>(stats.current_size)) + ")");
    for (const SharedPtr<TreeEntry>& child : node.children) show(*child, name, level + 1);
}

void ListCommand::show_server(const TreeEntry& node, const std::string& group, int level) const {
    const Server& server = *node.server;
    const std::string name = NodeFinder::bare_label(node);
    const std::string state = state_of(node, !no_check_);
    CatalogStats stats;
    server.statistics(stats);
    const std::size_t changes = ChangeList::count(*server.root());
    const std::string depth = DepthText::text(server.effective_scan_depth(*server.root()));
    context_.output.result({{"type", "server"},
                            {"name", name},
                            {"group", text_or_null(group)},
                            {"url", ServerUrl::shown(server)},
                            {"state", state},
                            {"depth", depth},
                            {"servers", nullptr},
                            {"files", stats.files},
                            {"folders", stats.folders},
                            {"size", stats.current_size},
                            {"changes", changes}},
                           indent(level) + name + "  " + state + "  " + ServerUrl::shown(server) +
                               "  depth " + depth + ", " + std::to_string(stats.folders) +
                               " folders, " + std::to_string(stats.files) + " files, " +
                               size_text(static_cast<std::int64_t>(stats.current_size)) + ", " +
                               std::to_string(changes) + (changes == 1 ? " change" : " changes"));
}

}  // namespace tovan::cli
