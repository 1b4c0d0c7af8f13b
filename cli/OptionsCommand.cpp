#include "cli/OptionsCommand.h"

#include <CLI/CLI.hpp>

#include "cli/CliError.h"
#include "cli/OptionTable.h"

namespace tovan::cli {

void OptionsCommand::add_to(CLI::App& app) {
    CLI::App* options = app.add_subcommand("options", "Show or set the options");
    options->add_option("key", key_, "Option name (default: show all)");
    options->add_option("value", value_, "New value")->each([this](const std::string&) {
        has_value_ = true;
    });
    context_.on(options, [this] { run(); });
}

void OptionsCommand::run() {
    const OptionTable::Row* row = key_.empty() ? nullptr : OptionTable::find(key_);
    if (!key_.empty() && row == nullptr)
        throw CliError("there is no option \"" + key_ + "\"; `ferrovane-cli options` lists them",
                       CliError::Usage);
    if (!has_value_) {
        auto session = context_.open(Session::Access::Read);
        for (const OptionTable::Row& each : OptionTable::rows())
            if (row == nullptr || row == &each)
                show(session->options(), each.key);
        return;
    }
    if (!row->set)
        throw CliError(key_ + " is changed by the downloads themselves, not set here",
                       CliError::Usage);
    Options checked;
    if (!row->set(checked, value_))
        throw CliError(key_ + " takes " + row->values + ", not \"" + value_ + "\"",
                       CliError::Usage);
    auto session = context_.open(Session::Access::Change);
    row->set(session->options(), value_);
    session->save_options();
    show(session->options(), key_);
}

void OptionsCommand::show(const Options& options, const std::string& key) const {
    const nlohmann::json value = OptionTable::find(key)->get(options);
    context_.output.result({{"key", key}, {"value", value}},
                           key + " = " + OptionTable::text(value));
}

}  // namespace tovan::cli
