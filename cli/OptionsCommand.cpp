#include "cli/OptionsCommand.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/CliError.h"

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
    const OptionField* field = key_.empty() ? nullptr : Options::field(key_);
    if (!key_.empty() && field == nullptr)
        throw CliError("there is no option \"" + key_ + "\"; `ferrovane-cli options` lists them",
                       CliError::Usage);
    if (!has_value_) {
        auto session = context_.open(Session::Access::Read);
        for (const OptionField& each : Options::fields())
            if (field == nullptr || field == &each)
                show(session->options(), each);
        return;
    }
    if (!field->settable())
        throw CliError(key_ + " is changed by the downloads themselves, not set here",
                       CliError::Usage);
    Options checked;
    if (!field->set(checked, value_))
        throw CliError(key_ + " takes " + field->accepted() + ", not \"" + value_ + "\"",
                       CliError::Usage);
    auto session = context_.open(Session::Access::Change);
    field->set(session->options(), value_);
    session->save_options();
    show(session->options(), *field);
}

// Texts are printed as they are, everything else as in JSON; the description
// follows after "#", as in a configuration file.
void OptionsCommand::show(const Options& options, const OptionField& field) const {
    const nlohmann::json value =
        std::visit([](const auto& shown) { return nlohmann::json(shown); }, field.value(options));
    const std::string name(field.name);
    const bool desktop_only = field.reader == OptionField::DesktopOnly;
    const std::string description(field.description);
    context_.output.result(
        {{"key", name},
         {"value", value},
         {"description", description},
         {"desktop_only", desktop_only}},
        name + " = " + (value.is_string() ? value.get<std::string>() : value.dump()) + "  # " +
            description + (desktop_only ? " (desktop program only)" : ""));
}

}  // namespace tovan::cli
