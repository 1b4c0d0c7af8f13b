#pragma once

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/DamagedFiles.h"
#include "app/DataFolder.h"
#include "app/Options.h"
#include "tovan/ProfilerScope.h"

namespace tovan {

class Document;
class InternetSession;

// What lives for a whole run, apart from the windows: the data folder and its
// lock, the options, the internet session and the document, with the order in
// which they come up and go down. The command-line program and the windowed
// program both run on it; the windowed one adds its frame between start() and
// shut_down().
class Application {
public:
    struct Settings {
        std::string data_dir;          // --data-dir; empty: $FERROVANE_DATA or the usual place
        std::string executable_path;   // empty: the running program
        std::string autostart_folder;  // empty: $XDG_CONFIG_HOME/autostart
        // Only the desktop program starts with the session; the command-line
        // program leaves the entry alone.
        bool manages_autostart = true;
        // A run that only reads writes nothing: a damaged file stays where it
        // is, and the options are not saved at shut-down.
        bool only_reads = false;
    };

    // The settings a program's command line asks for.
    static Settings settings_from(int argc, const char* const* argv);

    Application();
    explicit Application(Settings settings);
    // Shuts down first when shut_down() has not run.
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Brings everything up: the profiling scope "Main", the data folder and its
    // lock, the options, the autostart entry, the internet session and the
    // document's files. False when the program cannot run; error() then says what
    // failed and what the user can do, and nothing is held any more.
    bool start();
    // Logs that it shuts down, saves the options (a failure is logged) unless the
    // run only reads, ends the scope "Main" and writes the profiler's report. The
    // document stays until the application goes, and is saved by whoever changed
    // it (the main frame) before this.
    void shut_down();

    bool is_running() const { return running_; }
    const std::string& error() const { return error_; }
    // What start() found damaged, what it used instead and where the damaged file
    // is, for the user to read.
    const std::vector<std::string>& load_warnings() const { return damaged_files_.warnings(); }

    // Writes "options.dat"; raises tovan::io::Failure naming the file and why
    // when it cannot.
    void save_options() const;
    // Keeps the autostart entry in step with the option; false (logged) on failure.
    bool apply_autostart() const;

    Options& options() { return options_; }
    const DataFolder& data_folder() const { return data_folder_; }
    const std::string& executable_path() const { return settings_.executable_path; }
    // Present while running.
    Document* document() const { return document_.get(); }
    InternetSession* internet_session() const { return internet_session_.get(); }

private:
    bool open_data_folder();
    void place_log(const std::string& folder) const;
    bool load_options();
    bool load_document();
    bool fail_reading(const std::exception& failure);
    bool fail(std::string error);
    void write_profile();

    Settings settings_;
    std::optional<ProfilerScope> main_scope_;
    Options options_;
    DamagedFiles damaged_files_;
    // Declared before the document, so the lock outlives every write to the folder.
    DataFolder data_folder_;
    std::unique_ptr<InternetSession> internet_session_;
    std::unique_ptr<Document> document_;
    std::string error_;
    bool running_ = false;
};

}  // namespace tovan
