#include "cli/GroupCommands.h"

#include <CLI/CLI.hpp>
#include <functional>

#include "cli/CliError.h"
#include "cli/NodeFinder.h"

namespace tovan::cli {
namespace {

// Each group with its path from the top ("nas/films"), in tree order.
void for_each_group(const TreeEntry& node, const std::string& path,
                    const std::function<void(const TreeEntry&, const std::string&)>& visit) {
    for (const SharedPtr<TreeEntry>& child : node.children) {
        if (child->kind != TreeEntry::Group)
            continue;
        const std::string child_path = path + child->label();
        visit(*child, child_path);
        for_each_group(*child, child_path + "/", visit);
    }
}

// A group named by its label, as every command names it, or by its path as
// `group list` shows it.
NodeFinder::Target find_group(const NodeFinder& finder, const TreeEntry& root,
                              const std::string& name) {
    std::string label = name;
    for_each_group(root, "", [&](const TreeEntry& group, const std::string& path) {
        if (path == name)
            label = group.label();
    });
    const NodeFinder::Target target = finder.find(label);
    if (target.node->kind != TreeEntry::Group || !target.path.empty())
        throw CliError("\"" + name + "\" is not a group; `ferrovane-cli group list` shows them");
    return target;
}

void check_unused(const NodeFinder& finder, const std::string& name) {
    if (finder.is_taken(name))
        throw CliError("a server or group named \"" + name + "\" exists already; choose another");
}

std::string servers_text(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " server" : " servers");
}

}  // namespace

void GroupCommands::add_to(CLI::App& app) {
    CLI::App* group = app.add_subcommand("group", "Groups of servers");
    group->require_subcommand(1);
    CLI::App* add = group->add_subcommand("add", "Make a group");
    add->add_option("name", name_, "Name of the new group")->required();
    add->add_option("--group", parent_group_, "Group to put it in (default: the top)");
    context_.on(add, [this] { this->add(); });

    CLI::App* list = group->add_subcommand(
        "list", "Show the groups as paths, with how many servers each holds (subgroups too)");
    context_.on(list, [this] { this->list(); });

    CLI::App* rename = group->add_subcommand("rename", "Give a group another name");
    rename->add_option("name", name_, "Group, by name or path")->required();
    rename->add_option("new", new_name_, "New name, not taken by a server or group")->required();
    context_.on(rename, [this] { rename_group(); });

    CLI::App* remove =
        group->add_subcommand("remove",
                              "Remove a group; one that holds servers only with --with-servers "
                              "(`ferrovane-cli remove` removes a group with all in it)");
    remove->add_option("name", name_, "Group, by name or path")->required();
    remove->add_flag("--with-servers", with_servers_,
                     "Remove the servers in it and their catalogs");
    context_.on(remove, [this] { this->remove(); });

    CLI::App* rename_server =
        app.add_subcommand("rename", "Give a server another name to show and use in commands");
    rename_server->add_option("name", name_, "Server")->required();
    rename_server->add_option("new", new_name_, "New name, not taken by a server or group")
        ->required();
    context_.on(rename_server, [this] { this->rename_server(); });
}

void GroupCommands::add() {
    NodeFinder::check_name(name_);
    auto session = context_.open(Session::Access::Change);
    const NodeFinder finder(session->document().servers());
    const SharedPtr<TreeEntry> parent = finder.find_group(parent_group_);
    check_unused(finder, name_);
    parent->children.push_back(TreeEntry::make_group(name_));
    session->save();
    context_.output.result({{"added_group", name_}}, "added group " + name_);
}

void GroupCommands::list() {
    auto session = context_.open(Session::Access::Read);
    for_each_group(*session->document().servers(), "",
                   [this](const TreeEntry& group, const std::string& path) {
                       const std::size_t servers = group.server_count();
                       context_.output.result({{"group", path}, {"servers", servers}},
                                              path + "  " + servers_text(servers));
                   });
}

void GroupCommands::rename_group() {
    NodeFinder::check_name(new_name_);
    auto session = context_.open(Session::Access::Change);
    const NodeFinder finder(session->document().servers());
    const NodeFinder::Target target = find_group(finder, *session->document().servers(), name_);
    const std::string old_name = target.node->label();
    check_unused(finder, new_name_);
    target.node->name = new_name_;
    session->save();
    context_.output.result({{"renamed_group", old_name}, {"name", new_name_}},
                           "renamed group " + old_name + " to " + new_name_);
}

void GroupCommands::remove() {
    auto session = context_.open(Session::Access::Change);
    const NodeFinder finder(session->document().servers());
    const NodeFinder::Target target = find_group(finder, *session->document().servers(), name_);
    const std::size_t servers = target.node->server_count();
    if (servers > 0 && !with_servers_)
        throw CliError("the group \"" + name_ + "\" holds " + servers_text(servers) +
                       "; add --with-servers to remove them with it");
    session->remove(*target.parent, target.node);
    session->save();
    context_.output.result(
        {{"removed_group", name_}, {"servers", servers}},
        "removed group " + name_ + (servers > 0 ? " with its " + servers_text(servers) : ""));
}

void GroupCommands::rename_server() {
    NodeFinder::check_name(new_name_);
    auto session = context_.open(Session::Access::Change);
    const NodeFinder finder(session->document().servers());
    const NodeFinder::Target target = finder.find(name_);
    if (!target.node->server || !target.path.empty())
        throw CliError("rename takes a server; `ferrovane-cli group rename` renames a group");
    check_unused(finder, new_name_);
    target.node->name = new_name_;
    session->save();
    context_.output.result({{"renamed", name_}, {"name", new_name_}},
                           "renamed " + name_ + " to " + new_name_);
}

}  // namespace tovan::cli
