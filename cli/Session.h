#pragma once

#include <memory>
#include <string>

#include "app/Application.h"
#include "app/Document.h"
#include "app/Options.h"

namespace tovan {
class DataHolder;
class InternetSession;
}  // namespace tovan

namespace tovan::cli {

// The data folder as one command uses it. A command that changes data holds the
// folder's lock for its whole run and keeps its changes with safe saves; one that
// only reads falls back to the saved files when another process holds the lock,
// and says that what it shows is as of that process's last save. A command that
// another process carries out for its client uses that process's live data.
class Session {
public:
    enum class Access { Change, Read };

    // Raises CliError when the folder cannot be used, HeldElsewhere when a change
    // meets the folder held by another process.
    Session(const std::string& data_dir, Access access);
    explicit Session(DataHolder& holder);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Document& document();
    Options& options();
    // Null when the saved files were read without the lock, or for a holder.
    Application* application() { return saved_only_ || holder_ ? nullptr : &application_; }
    InternetSession* internet_session();
    // The process's holder when the command runs for a client, else null.
    DataHolder* holder() const { return holder_; }
    const std::string& data_folder() const;

    // Takes a server or a group out of the tree; in a holder, the scans of what
    // goes end first, as when the window removes it.
    void remove(TreeEntry& parent, const SharedPtr<TreeEntry>& node);

    // Keep the document's changes and the options; raise CliError naming the
    // file that could not be written and why.
    void save();
    void save_options();

private:
    void read_saved_files();

    Application application_;
    std::unique_ptr<Document> saved_document_;
    Options saved_options_;
    bool saved_only_ = false;
    DataHolder* holder_ = nullptr;
};

}  // namespace tovan::cli
