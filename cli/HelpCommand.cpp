#include "cli/HelpCommand.h"

#include <CLI/CLI.hpp>

#include "cli/CliError.h"

namespace tovan::cli {

void HelpCommand::add_to(CLI::App& app) {
    CLI::App* help = app.add_subcommand("help", "Show the help of the program or of a command");
    help->add_option("command", words_, "Command, such as \"jobs resume\" (default: all)");
    context_.on(help, [this, &app] { run(app); });
}

void HelpCommand::run(const CLI::App& app) const {
    const CLI::App* command = &app;
    std::string name = app.get_name();
    for (const std::string& word : words_) {
        const auto found = command->get_subcommands(
            [&](const CLI::App* each) { return each->get_name() == word; });
        name += " " + word;
        if (found.empty())
            throw CliError("there is no command `" + name + "`; `ferrovane-cli help` lists them",
                           CliError::Usage);
        command = found.front();
    }
    // As --help prints it; help() itself would describe the chosen command, "help".
    Output::out() << command->get_formatter()->make_help(command, name, CLI::AppFormatMode::Normal)
                  << std::flush;
}

}  // namespace tovan::cli
