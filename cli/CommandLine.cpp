#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <csignal>
#include <exception>
#include <filesystem>
#include <set>

#include "cli/CliError.h"
#include "cli/HeldElsewhere.h"
#include "cli/HolderClient.h"
#include "cli/Output.h"
#include "cli/ParseErrorText.h"

namespace tovan::cli {
namespace {

// The commands that change data, which the process holding the data folder
// carries out for others; watch is not among them.
bool is_forwarded(const std::string& command) {
    static const std::set<std::string> forwarded = {
        "unmark",   "sync", "add",    "remove", "depth",  "filter", "options",
        "download", "jobs", "import", "group",  "rename", "trust"};
    return forwarded.contains(command);
}

}  // namespace

CommandLine::CommandLine() = default;

CommandLine::CommandLine(DataHolder& holder, const HolderProtocol::Request& request) {
    context_.holder = &holder;
    context_.working_folder = request.working_folder;
    context_.set_inputs(request.inputs);
}

int CommandLine::run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "ferrovane-cli");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    return run(static_cast<int>(arguments.size()), argv.data());
}

std::optional<int> CommandLine::go_on() {
    bool done = true;
    const int status = outcome([&] { done = context_.go_on(); }, 0, nullptr);
    if (done || status != 0)
        return status;
    return std::nullopt;
}

int CommandLine::outcome(const std::function<void()>& work, int argc, char** argv) {
    try {
        work();
        return 0;
    } catch (const HeldElsewhere& held) {
        if (!is_forwarded(ParseErrorText::first_word(argc, argv))) {
            Output::error(held.what());
            return held.status();
        }
        std::error_code unknown;
        const std::string here = std::filesystem::current_path(unknown).string();
        return HolderClient::forward(
            held, {std::vector<std::string>(argv + 1, argv + argc), here, context_.inputs()});
    } catch (const CliError& error) {
        // An empty text ends the command with its status alone (a search that
        // found nothing).
        if (*error.what() != '\0')
            Output::error(error.what());
        return error.status();
    } catch (const std::exception& error) {
        Output::error(error.what());
        return CliError::Failure;
    }
}

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
    trust_.add_to(app);
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
    return outcome([this] { context_.run_action(); }, argc, argv);
}

}  // namespace tovan::cli
