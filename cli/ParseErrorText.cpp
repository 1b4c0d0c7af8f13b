#include "cli/ParseErrorText.h"

#include <CLI/CLI.hpp>
#include <algorithm>

namespace tovan::cli {
namespace {

const CLI::App& innermost(const CLI::App& app) {
    const std::vector<CLI::App*> chosen = app.get_subcommands();
    return chosen.empty() ? app : innermost(*chosen.front());
}

std::string quoted(const std::string& command) {
    return "`ferrovane-cli " + command + "`";
}

std::string help_hint(const std::string& command) {
    return quoted("help " + command);
}

std::string lower_first(std::string text) {
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

std::string placeholder(const CLI::Option& option) {
    std::string name = option.get_name();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

std::string subcommand_names(const CLI::App& command) {
    std::string names;
    for (const CLI::App* each : command.get_subcommands([](const CLI::App*) { return true; }))
        names += (names.empty() ? "" : ", ") + each->get_name();
    return names;
}

// A required argument, or the command a group of commands needs.
std::string missing_text(const CLI::App& command, const std::string& path) {
    for (const CLI::Option* option : command.get_options())
        if (option->get_required() && option->count() == 0)
            return quoted(path) + " needs " + placeholder(*option) + ": " +
                   lower_first(option->get_description());
    return quoted(path) + " needs one of its commands: " + subcommand_names(command) + "; " +
           help_hint(path) + " tells more";
}

// An option of the command or of the commands it is in, typed last or
// followed by another option, so that it got no value.
const CLI::Option* option_without_value(const CLI::App& command, int argc, char** argv) {
    for (const CLI::App* app = &command; app != nullptr; app = app->get_parent())
        for (const CLI::Option* option : app->get_options()) {
            if (option->get_positional() || option->get_expected_min() == 0)
                continue;
            for (int at = 1; at < argc; ++at) {
                const bool named = argv[at] == option->get_name();
                if (named && (at + 1 == argc || argv[at + 1][0] == '-'))
                    return option;
            }
        }
    return nullptr;
}

std::string extra_text(const CLI::App& app, const CLI::App& command, const std::string& path) {
    const std::string extra = app.remaining(true).front();
    if (extra.starts_with('-'))
        return quoted(path) + " has no option " + extra + "; " + help_hint(path) +
               " lists its options";
    if (!subcommand_names(command).empty())
        return "there is no command " + quoted(path + " " + extra) + "; " + help_hint(path) +
               " lists them";
    return "\"" + extra + "\" is one argument too many for " + quoted(path) + "; " +
           help_hint(path) + " shows what it takes";
}

}  // namespace

std::string ParseErrorText::first_word(int argc, char** argv) {
    for (int at = 1; at < argc; ++at) {
        const std::string argument = argv[at];
        if (argument == "--data-dir")
            ++at;
        else if (!argument.starts_with('-'))
            return argument;
    }
    return {};
}

std::string ParseErrorText::command_path(const CLI::App& app) {
    std::string path;
    for (const CLI::App* command = &innermost(app); command->get_parent() != nullptr;
         command = command->get_parent())
        path = command->get_name() + (path.empty() ? "" : " " + path);
    return path;
}

std::string ParseErrorText::of(const CLI::App& app, const CLI::Error& error, int argc,
                               char** argv) {
    const std::string word = first_word(argc, argv);
    if (app.get_subcommands().empty() && !word.empty())
        return "there is no command \"" + word + "\"; `ferrovane-cli --help` lists them";
    if (app.get_subcommands().empty())
        return "give a command, such as `ferrovane-cli list`; `ferrovane-cli --help` lists them";
    const CLI::App& command = innermost(app);
    const std::string path = command_path(app);
    // A word it did not know says more than what is missing after it.
    if (!app.remaining(true).empty())
        return extra_text(app, command, path);
    if (dynamic_cast<const CLI::RequiredError*>(&error))
        return missing_text(command, path);
    if (const CLI::Option* option = option_without_value(command, argc, argv))
        return option->get_name() + " needs a value: " + lower_first(option->get_description());
    return "the command line can't be read as " + quoted(path) + "; " + help_hint(path) +
           " shows what it takes";
}

}  // namespace tovan::cli
