#pragma once

#include <string>

namespace tovan {

// The folder that holds every state file, and the right to use it. Two processes
// writing the same files would overwrite each other's saves, so a process takes
// an advisory lock on a file inside the folder for as long as it runs; the lock
// file records the holder's process id so that a second process can say which
// one to close. The lock goes away with its process, however that ends.
class DataFolder {
public:
    static constexpr const char* LockName = "ferrovane.lock";

    // What the choice of the folder depends on; process_sources fills it from the
    // running process.
    struct Sources {
        std::string option;           // the value of --data-dir, empty when not given
        std::string environment;      // $FERROVANE_DATA
        std::string executable_path;  // the program's full path
        std::string data_home;        // the XDG data folder, empty when unknown
        std::string state_home;       // the XDG state folder, empty when unknown
    };

    static Sources process_sources(const std::string& option);
    // The value of "--data-dir DIR" or "--data-dir=DIR" among the arguments, empty
    // when it is not there.
    static std::string option_value(int argc, const char* const* argv);

    // --data-dir, then $FERROVANE_DATA, then the folder "SAVE" beside the program
    // where it exists (a portable install is made by creating it), else
    // "ferrovane/SAVE" in the XDG data folder. Empty when none is known. The
    // result ends with "/".
    static std::string choose(const Sources& sources);
    // Where the logs and the profile report of a run on the chosen data folder
    // go: beside the data of a portable install, else "ferrovane" in the XDG
    // state folder, else (neither known) beside the data folder. Never the
    // current folder, nor beside a program installed for the system.
    static std::string log_folder(const Sources& sources, const std::string& chosen);

    DataFolder() = default;
    ~DataFolder();
    DataFolder(const DataFolder&) = delete;
    DataFolder& operator=(const DataFolder&) = delete;

    // Creates the folder where it is missing and takes its lock. False when either
    // fails; error() then says what failed and what the user can do.
    bool open(const std::string& path);
    // Gives the lock up.
    void close();

    bool is_open() const { return lock_descriptor_ >= 0; }
    // The folder, ending with "/": a state file's path is this and its name.
    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }
    // After an open that failed because another process holds the lock: that
    // process's id, or -1 when it is not known; 0 after any other outcome.
    long held_by() const { return held_by_; }

private:
    bool create(const std::string& folder);
    bool lock();
    void record_holder();
    // The process id written in the lock file, 0 when none can be read.
    long holder() const;

    std::string path_;
    std::string error_;
    int lock_descriptor_ = -1;
    long held_by_ = 0;
};

}  // namespace tovan
