#include "cli/SearchCommand.h"

#include <CLI/CLI.hpp>

#include "app/Search.h"
#include "app/TextFormats.h"
#include "cli/ChangeText.h"
#include "cli/CliError.h"
#include "cli/JsonValue.h"
#include "cli/NodeFinder.h"
#include "cli/NumberText.h"
#include "cli/ServerUrl.h"
#include "cli/StatusCheck.h"

namespace tovan::cli {

void SearchCommand::add_to(CLI::App& app) {
    CLI::App* search = app.add_subcommand("search", "Find files in the catalogs by masks");
    search
        ->add_option("masks", masks_,
                     "Masks, separated by \",\" or \";\", matched anywhere in the path "
                     "(\"*.mkv,*.avi\"); \"\" finds everything")
        ->required();
    search->add_option("--in", scope_, "Server, group or NAME/PATH folder (default: everything)");
    search->add_option("--min-size", min_size_,
                       std::string("Only files of at least this size: megabytes, or with ") +
                           NumberText::SizeForms);
    search->add_flag("--changed", changed_, "Only entries marked new, modified or deleted");
    search->add_flag("--dirs", directories_, "Folders may be found too");
    search->add_flag("--online", online_, "Only servers that are online now (checks them first)");
    search->add_flag("-0,--print0", print0_,
                     "End each location with a NUL instead of a newline, as find -print0 does");
    context_.on(search, [this] { run(); });
}

float SearchCommand::min_size_mb() const {
    if (min_size_.empty())
        return 0;
    // A bare number has always meant megabytes, as in the Search dialog; scripts
    // written for that keep working.
    const bool bare = min_size_.find_first_not_of("0123456789.") == std::string::npos;
    const auto bytes = NumberText::size(bare ? min_size_ + "M" : min_size_);
    if (!bytes)
        throw CliError("--min-size takes megabytes, or a size with " +
                           std::string(NumberText::SizeForms) + ", not \"" + min_size_ + "\"",
                       CliError::Usage);
    return static_cast<float>(static_cast<double>(*bytes) / (1024.0 * 1024.0));
}

// Like grep, a search that finds nothing prints nothing and exits 1.
void SearchCommand::run() {
    if (print0_ && context_.output.json())
        throw CliError("--print0 and --json can't be used together: choose one", CliError::Usage);
    const float min_size_mb = this->min_size_mb();
    auto session = context_.open(Session::Access::Read);
    Document& document = session->document();
    const NodeFinder::Target target = scope_.empty()
                                          ? NodeFinder::Target{document.servers(), nullptr, {}, {}}
                                          : NodeFinder(document.servers()).find(scope_);
    if (online_ &&
        !StatusCheck::run(
            document, session->options(),
            session->application() ? session->application()->internet_session() : nullptr,
            {target.node}))
        throw CliError("stopped while checking which servers are online");

    Search search;
    search.mask_text = masks_;
    search.min_size_mb = min_size_mb;
    search.only_changed = changed_;
    search.directories = directories_;
    search.only_online = online_;
    const std::vector<Search::Root> roots =
        target.entry ? std::vector<Search::Root>{{target.node, target.entry}}
                     : search.roots(target.node);
    const std::vector<SearchResult> results = search.run(roots);
    for (const SearchResult& result : results) {
        const TreeEntry& node = *roots[result.root].server;
        const Entry& entry = *result.entry;
        const std::string url = ServerUrl::shown(*node.server, &entry);
        if (print0_) {
            Output::out() << url << '\0' << std::flush;
            continue;
        }
        const char* sign = change_sign(entry.state());
        const nlohmann::json record = {{"url", url},
                                       {"server", NodeFinder::bare_label(node)},
                                       {"name", ChangeText::name(node, entry)},
                                       {"folder", entry.is_folder()},
                                       {"change", text_or_null(sign)},
                                       {"size", ChangeText::size(entry)},
                                       {"date", ChangeText::time(entry.time())}};
        // The sign's column stays blank for an entry without a mark.
        const std::string text =
            std::string(*sign ? sign : " ") + " " + url + ChangeText::size_and_date(entry);
        context_.output.result(record, text);
    }
    if (results.empty())
        throw CliError("", CliError::Failure);
}

}  // namespace tovan::cli
