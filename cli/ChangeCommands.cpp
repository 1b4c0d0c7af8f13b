#include "cli/ChangeCommands.h"

#include <CLI/CLI.hpp>

#include "cli/ChangeList.h"
#include "cli/ChangeText.h"
#include "cli/NodeFinder.h"
#include "engine/catalog/ChangeMarks.h"

namespace tovan::cli {

void ChangeCommands::add_to(CLI::App& app) {
    CLI::App* changes =
        app.add_subcommand("changes", "Show what the scans marked new, modified or deleted");
    changes->add_option("name", scope_, "Server, group or NAME/PATH (default: everything)");
    context_.on(changes, [this] { list_changes(); });

    CLI::App* unmark = app.add_subcommand("unmark", "Mark changes as viewed");
    unmark->add_option("target", target_, "Server, group or NAME/PATH")->required();
    context_.on(unmark, [this] { this->unmark(); });
}

void ChangeCommands::list_changes() {
    auto session = context_.open(Session::Access::Read);
    const SharedPtr<TreeEntry> root = session->document().servers();
    std::size_t count = 0;
    const ChangeList::Visit print = [&](const SharedPtr<TreeEntry>& node,
                                        const SharedPtr<Entry>& entry) {
        context_.output.result(ChangeText::record(*node, *entry), ChangeText::line(*node, *entry));
        ++count;
    };
    if (scope_.empty()) {
        ChangeList::walk(root, print);
    } else {
        const NodeFinder::Target target = NodeFinder(root).find(scope_);
        if (target.entry)
            ChangeList::walk(target.node, target.entry, print);
        else
            ChangeList::walk(target.node, print);
    }
    if (count == 0 && !context_.output.json())
        context_.output.message("no changes");
}

void ChangeCommands::unmark() {
    auto session = context_.open(Session::Access::Change);
    const NodeFinder::Target target = NodeFinder(session->document().servers()).find(target_);
    std::size_t count = 0;
    if (target.entry) {
        count = ChangeList::count(*target.entry);
        ChangeMarks::set(*target.entry, EntryState::Unchanged);
    } else {
        count = ChangeList::count_below(*target.node);
        const std::function<void(const TreeEntry&)> unmark_all = [&](const TreeEntry& node) {
            if (node.server)
                ChangeMarks::set(*node.server->root(), EntryState::Unchanged);
            for (const SharedPtr<TreeEntry>& child : node.children) unmark_all(*child);
        };
        unmark_all(*target.node);
    }
    session->save();
    context_.output.result({{"unmarked", target_}, {"changes", count}},
                           "unmarked " + std::to_string(count) +
                               (count == 1 ? " change" : " changes") + " in " + target_);
}

}  // namespace tovan::cli
