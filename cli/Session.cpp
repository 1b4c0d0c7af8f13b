#include "cli/Session.h"

#include <exception>

#include "cli/CliError.h"
#include "cli/Output.h"
#include "tovan/log/Log.h"

namespace tovan::cli {
namespace {

Application::Settings settings_for(const std::string& data_dir) {
    Application::Settings settings;
    settings.data_dir = data_dir;
    settings.manages_autostart = false;
    return settings;
}

std::string why_in_log() {
    const std::string log = Log::opened_file_name();
    return log.empty() ? std::string() : " (" + log + " says why)";
}

}  // namespace

Session::Session(const std::string& data_dir, Access access)
    : application_(settings_for(data_dir)) {
    if (application_.start())
        return;
    if (access == Access::Read && application_.data_folder().held_by() != 0) {
        read_saved_files();
        return;
    }
    throw CliError(application_.error());
}

Session::~Session() {
    application_.shut_down();
}

void Session::read_saved_files() {
    const std::string& folder = application_.data_folder().path();
    const long holder = application_.data_folder().held_by();
    saved_document_ = std::make_unique<CLumiskDoc>(folder);
    try {
        saved_document_->load();
    } catch (const std::exception& failure) {
        throw CliError("the data files in " + folder + " can't be read (" + failure.what() +
                       "); try again when the other process has saved them");
    }
    saved_options_.load(folder);
    saved_only_ = true;
    Output::note("the data folder " + folder + " is used by " +
                 (holder > 0 ? "process " + std::to_string(holder) : "another process") +
                 "; this shows it as of that process's last save");
}

CLumiskDoc& Session::document() {
    return saved_only_ ? *saved_document_ : *application_.document();
}

Options& Session::options() {
    return saved_only_ ? saved_options_ : application_.options();
}

const std::string& Session::data_folder() const {
    return application_.data_folder().path();
}

void Session::save() {
    if (saved_only_ || !document().store())
        throw CliError("the data folder " + data_folder() + " can't be written" + why_in_log() +
                       "; free space or fix its permissions and run the command again");
}

void Session::save_options() {
    if (saved_only_ || !application_.save_options())
        throw CliError("the options can't be written to " + data_folder() + why_in_log() +
                       "; free space or permissions, then try again");
}

}  // namespace tovan::cli
