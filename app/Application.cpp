#include "app/Application.h"

#include <exception>
#include <filesystem>

#include "app/Autostart.h"
#include "app/Document.h"
#include "engine/curl/InternetSession.h"
#include "engine/sftp/SftpHostKeys.h"
#include "engine/smb/SmbCredentials.h"
#include "tovan/Paths.h"
#include "tovan/Profiler.h"
#include "tovan/log/Log.h"
#include "tovan/log/LogChannels.h"

namespace tovan {

Application::Settings Application::settings_from(int argc, const char* const* argv) {
    Settings settings;
    settings.data_dir = DataFolder::option_value(argc, argv);
    return settings;
}

Application::Application() : Application(Settings{}) {}

Application::Application(Settings settings) : settings_(std::move(settings)) {
    if (settings_.executable_path.empty())
        settings_.executable_path = program_path();
    if (settings_.autostart_folder.empty())
        settings_.autostart_folder = Autostart::default_folder();
}

Application::~Application() {
    shut_down();
}

bool Application::start() {
    if (running_)
        return true;
    error_.clear();
    main_scope_.emplace("Main");
    damaged_files_ = DamagedFiles(settings_.only_reads ? DamagedFiles::Handling::LeaveInPlace
                                                       : DamagedFiles::Handling::KeepAside);
    if (!open_data_folder() || !load_options())
        return false;
    if (settings_.manages_autostart)
        apply_autostart();
    internet_session_ = std::make_unique<InternetSession>();
    if (!load_document())
        return false;
    running_ = true;
    return true;
}

void Application::shut_down() {
    if (!running_)
        return;
    running_ = false;
    plain_log(1) << (settings_.only_reads ? "shutting down" : "shutting down: saving options")
                 << std::endl;
    if (!settings_.only_reads) {
        try {
            save_options();
        } catch (const std::exception& failure) {
            error_log(1) << failure.what() << std::endl;
        }
    }
    main_scope_.reset();
    write_profile();
}

void Application::save_options() const {
    options_.save(data_folder_.path());
}

bool Application::apply_autostart() const {
    return Autostart(settings_.autostart_folder, settings_.executable_path)
        .apply(options_.start_at_login);
}

// The log is placed first, so that a folder that cannot be opened is logged there too.
bool Application::open_data_folder() {
    auto sources = DataFolder::process_sources(settings_.data_dir);
    sources.executable_path = settings_.executable_path;
    const std::string chosen = DataFolder::choose(sources);
    place_log(DataFolder::log_folder(sources, chosen));
    if (!data_folder_.open(chosen))
        return fail(data_folder_.error());
    SmbCredentials::use_folder(data_folder_.path());
    SftpHostKeys::use_folder(data_folder_.path());
    return true;
}

// Logs tell what was done with the user's servers: only the user may read them.
void Application::place_log(const std::string& folder) const {
    if (folder.empty())
        return;
    std::error_code error;
    if (std::filesystem::create_directories(folder, error))
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
    const std::string& program = settings_.executable_path;
    Log::configure(in_folder(folder, program.substr(program.rfind('/') + 1) + ".log"));
}

bool Application::load_options() {
    try {
        options_.load(data_folder_.path(), damaged_files_);
        return true;
    } catch (const std::exception& failure) {
        return fail_reading(failure);
    }
}

bool Application::load_document() {
    document_ = std::make_unique<Document>(data_folder_.path());
    try {
        document_->load(damaged_files_);
        return true;
    } catch (const std::exception& failure) {
        return fail_reading(failure);
    }
}

// A damaged file that can be neither replaced by a default nor moved aside stops
// the start: running on would save an empty document over it.
bool Application::fail_reading(const std::exception& failure) {
    return fail("the data files in " + data_folder_.path() + " can't be read (" + failure.what() +
                "); move the damaged file out of that folder or choose another folder "
                "with --data-dir");
}

// Undoes a start that could not finish, so that nothing is held or saved.
bool Application::fail(std::string error) {
    error_ = std::move(error);
    error_log(1) << error_ << std::endl;
    document_.reset();
    internet_session_.reset();
    data_folder_.close();
    main_scope_.reset();
    return false;
}

void Application::write_profile() {
    Profiler::instance().write_final_report(1.0);
}

}  // namespace tovan
