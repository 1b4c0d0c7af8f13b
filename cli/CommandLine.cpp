#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <csignal>
#include <exception>

#include "cli/CliError.h"
#include "cli/Output.h"
#include "cli/ParseErrorText.h"

namespace tovan::cli {
CommandLine::CommandLine() = default;

int CommandLine::run(int argc, char** argv) {
    // A reader that goes away (`sync | head`) must not kill a command before it
    // saves what it found; writes to it just fail from then on.
    std::signal(SIGPIPE, SIG_IGN);
    CLI::App app(
        "Ferrovane watches local folders, SMB shares and FTP servers, marks what "
        "changed, searches the catalog and downloads with resume.",
        "ferrovane-cli");
    app.fallthrough();
    app.require_subcommand(1);
    app.add_option("--data-dir", context_.data_dir,
                   "Data folder (default: $FERROVANE_DATA, "
                   "an existing SAVE folder beside the program, or ~/.local/share/ferrovane/SAVE)");
    app.add_flag("--json", json_, "One JSON object per line");
    app.set_version_flag("--version", std::string("ferrovane-cli ") + FERROVANE_VERSION,
                         "Show the version");
    // In the order of --help: the servers, scans and their changes, search,
    // downloads, then the settings and moving servers elsewhere.
    servers_.add_to(app);
    groups_.add_to(app);
    list_.add_to(app);
    scans_.add_to(app);
    changes_.add_to(app);
    search_.add_to(app);
    downloads_.add_to(app);
    filter_.add_to(app);
    options_.add_to(app);
    transfer_.add_to(app);
    help_.add_to(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0)
            return app.exit(error, Output::out(), Output::err());
        Output::error(ParseErrorText::of(app, error, argc, argv));
        return CliError::Usage;
    }
    context_.output.set_json(json_);
    try {
        context_.run_action();
        return 0;
    } catch (const CliError& error) {
        if (*error.what() != '\0')
            Output::error(error.what());
        return error.status();
    } catch (const std::exception& error) {
        Output::error(error.what());
        return CliError::Failure;
    }
}

}  // namespace tovan::cli
