#include "cli/FilterCommands.h"

#include <CLI/CLI.hpp>

#include "cli/CliError.h"

namespace tovan::cli {
namespace {

void check_mask(const std::string& mask) {
    const std::string pattern =
        mask.starts_with('+') || mask.starts_with('-') ? mask.substr(1) : mask;
    if (pattern.empty())
        throw CliError("a mask needs a pattern after its sign, such as \"-*.tmp\"",
                       CliError::Usage);
}

}  // namespace

// An exclude mask begins with "-", which reads as an option: the command keeps
// what the parser did not know, and the options that would have fallen through
// to the program are taken from there.
void FilterCommands::add_mask_argument(CLI::App& command) {
    command.add_option("mask", mask_, "Mask, such as \"-*.tmp\" or \"+*.mkv\"");
    command.allow_extras();
    command.fallthrough(false);
}

void FilterCommands::take_dashed_mask(CLI::App& command) {
    std::vector<std::string> masks;
    if (!mask_.empty())
        masks.push_back(mask_);
    const std::vector<std::string> extras = command.remaining();
    for (std::size_t at = 0; at < extras.size(); ++at) {
        const std::string& extra = extras[at];
        if (extra == "--json")
            context_.output.set_json(true);
        else if (extra == "--data-dir" && at + 1 < extras.size())
            context_.data_dir = extras[++at];
        else if (extra.starts_with("--data-dir="))
            context_.data_dir = extra.substr(11);
        else if (extra != "--")
            masks.push_back(extra);
    }
    if (masks.size() != 1)
        throw CliError("give one mask, such as \"-*.tmp\"", CliError::Usage);
    mask_ = masks.front();
}

void FilterCommands::add_to(CLI::App& app) {
    CLI::App* filter = app.add_subcommand("filter", "The change filter: which changes get marked");
    filter->require_subcommand(1);
    CLI::App* list = filter->add_subcommand("list", "Show the masks in the order they are tried");
    context_.on(list, [this] { this->list(); });
    CLI::App* add = filter->add_subcommand(
        "add", "Add a mask at the front: \"+*.mkv\" marks, \"-*.tmp\" ignores");
    add_mask_argument(*add);
    context_.on(add, [this, add] {
        take_dashed_mask(*add);
        this->add();
    });
    CLI::App* remove = filter->add_subcommand("remove", "Remove a mask");
    add_mask_argument(*remove);
    context_.on(remove, [this, remove] {
        take_dashed_mask(*remove);
        this->remove();
    });
}

void FilterCommands::list() {
    auto session = context_.open(Session::Access::Read);
    const std::vector<std::string> masks = session->document().filter().masks();
    for (const std::string& mask : masks) context_.output.result({{"mask", mask}}, mask);
    if (masks.empty() && !context_.output.json())
        context_.output.message("no masks: no change is marked");
}

// A new mask goes first: the first match decides, and a mask added to narrow
// the filter must win over the catch-all "*.*".
void FilterCommands::add() {
    check_mask(mask_);
    auto session = context_.open(Session::Access::Change);
    ScanFilter& filter = session->document().filter();
    std::vector<std::string> masks = filter.masks();
    if (std::find(masks.begin(), masks.end(), mask_) != masks.end())
        throw CliError("the filter holds \"" + mask_ + "\" already");
    masks.insert(masks.begin(), mask_);
    filter.set_masks(masks);
    session->save();
    context_.output.result({{"added_mask", mask_}}, "added mask " + mask_);
}

void FilterCommands::remove() {
    auto session = context_.open(Session::Access::Change);
    if (!session->document().filter().remove_mask(mask_))
        throw CliError("the filter holds no mask \"" + mask_ +
                       "\"; `ferrovane-cli filter list` shows them");
    session->save();
    context_.output.result({{"removed_mask", mask_}}, "removed mask " + mask_);
}

}  // namespace tovan::cli
