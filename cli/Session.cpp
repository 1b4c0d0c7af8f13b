#include "cli/Session.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "app/DamagedFiles.h"
#include "app/DataHolder.h"
#include "app/Scheduler.h"
#include "cli/CliError.h"
#include "cli/HeldElsewhere.h"
#include "cli/Output.h"

namespace tovan::cli {
namespace {

Application::Settings settings_for(const std::string& data_dir, Session::Access access) {
    Application::Settings settings;
    settings.data_dir = data_dir;
    settings.manages_autostart = false;
    settings.only_reads = access == Session::Access::Read;
    return settings;
}

void warn(const std::vector<std::string>& warnings) {
    for (const std::string& warning : warnings) Output::note("warning: " + warning);
}

// Raises the failure of a save as what the user reads: the file and why, then
// what to do.
template <class Save>
void saving(Save save) {
    try {
        save();
    } catch (const std::exception& failure) {
        throw CliError(std::string(failure.what()) +
                       "; free space or fix the folder's permissions and run the command again");
    }
}

}  // namespace

Session::Session(const std::string& data_dir, Access access)
    : application_(settings_for(data_dir, access)) {
    // What was moved aside is told even when the start fails later.
    const bool started = application_.start();
    warn(application_.load_warnings());
    if (started)
        return;
    const long holder = application_.data_folder().held_by();
    if (access == Access::Read && holder != 0) {
        read_saved_files();
        return;
    }
    if (holder != 0)
        throw HeldElsewhere(application_.error(), application_.data_folder().path(), holder);
    throw CliError(application_.error());
}

Session::Session(DataHolder& holder) : holder_(&holder) {}

Session::~Session() {
    application_.shut_down();
}

void Session::read_saved_files() {
    const std::string& folder = application_.data_folder().path();
    const long holder = application_.data_folder().held_by();
    saved_document_ = std::make_unique<Document>(folder);
    DamagedFiles damaged(DamagedFiles::Handling::LeaveInPlace);
    try {
        saved_document_->load(damaged);
    } catch (const std::exception& failure) {
        throw CliError("the data files in " + folder + " can't be read (" + failure.what() +
                       "); try again when the other process has saved them");
    }
    saved_options_.load(folder, damaged);
    warn(damaged.warnings());
    saved_only_ = true;
    Output::note("the data folder " + folder + " is used by " +
                 (holder > 0 ? "process " + std::to_string(holder) : "another process") +
                 "; this shows it as of that process's last save");
}

Document& Session::document() {
    if (holder_)
        return holder_->document();
    return saved_only_ ? *saved_document_ : *application_.document();
}

Options& Session::options() {
    if (holder_)
        return holder_->options();
    return saved_only_ ? saved_options_ : application_.options();
}

InternetSession* Session::internet_session() {
    if (holder_)
        return holder_->internet_session();
    return saved_only_ ? nullptr : application_.internet_session();
}

const std::string& Session::data_folder() const {
    return holder_ ? holder_->document().data_folder() : application_.data_folder().path();
}

void Session::remove(TreeEntry& parent, const SharedPtr<TreeEntry>& node) {
    if (holder_)
        holder_->scheduler().stop_scanning(*node);
    auto& siblings = parent.children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), node));
}

// Without the lock another process may be writing the same files.
void Session::save() {
    if (saved_only_)
        throw CliError("the data folder " + data_folder() + " is used by another process");
    if (holder_)
        saving([this] { holder_->save_document(); });
    else
        saving([this] { document().store(); });
}

void Session::save_options() {
    if (saved_only_)
        throw CliError("the data folder " + data_folder() + " is used by another process");
    if (holder_)
        saving([this] { holder_->save_options(); });
    else
        saving([this] { application_.save_options(); });
}

}  // namespace tovan::cli
