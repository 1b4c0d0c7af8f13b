#include "app/gui/JobCommands.h"

#include <QMessageBox>
#include <algorithm>
#include <chrono>

#include "app/Application.h"
#include "app/Document.h"
#include "app/DownloadList.h"
#include "app/gui/DesktopServices.h"
#include "app/gui/JobStarter.h"
#include "app/gui/TransferLogWindow.h"
#include "engine/catalog/PasswordMask.h"

namespace tovan {

JobCommands::JobCommands(Application& application, Scheduler& scheduler, QWidget* pane)
    : application_(application), pane_(pane), editor_(*application.document(), scheduler, pane) {}

void JobCommands::open(const std::string& location) const {
    if (desktop_ != nullptr)
        desktop_->open(location);
}

bool JobCommands::can_run(Command command, const std::vector<SharedPtr<Downloader>>& jobs) const {
    const auto any = [&](auto wanted) { return std::any_of(jobs.begin(), jobs.end(), wanted); };
    switch (command) {
        case Command::Pause:
            return any([](const auto& job) { return job->has_thread(); });
        case Command::Resume:
            return any([](const auto& job) { return !job->has_thread(); });
        case Command::Open:
        case Command::OpenLocalFolder:
        case Command::ViewTransferLog:
        case Command::EditDownload:
        case Command::DownloadAgain:
        case Command::Remove:
            return !jobs.empty();
        default:
            return false;
    }
}

void JobCommands::run(Command command, const std::vector<SharedPtr<Downloader>>& jobs) {
    if (!can_run(command, jobs))
        return;
    switch (command) {
        case Command::Open:
            open(jobs.front()->destination_path());
            break;
        case Command::OpenLocalFolder:
            open(jobs.front()->destination_folder());
            break;
        case Command::ViewTransferLog:
            TransferLogWindow::show_log(pane_, *jobs.front());
            break;
        case Command::EditDownload:
            edit(jobs.front());
            break;
        case Command::Pause:
            for (const SharedPtr<Downloader>& job : jobs)
                if (job->has_thread())
                    job->pause();
            break;
        case Command::Resume:
            for (const SharedPtr<Downloader>& job : jobs)
                if (!job->has_thread())
                    job->resume();
            break;
        case Command::DownloadAgain:
            for (const SharedPtr<Downloader>& job : jobs) {
                job->pause();
                job->again();
                job->resume();
            }
            break;
        case Command::Remove:
            remove(jobs);
            break;
        default:
            break;
    }
}

void JobCommands::remove(const std::vector<SharedPtr<Downloader>>& jobs) {
    DownloadList list(application_.document()->downloads());
    for (const SharedPtr<Downloader>& job : jobs) list.remove(job);
    JobStarter::store(application_, pane_);
}

// The job's own copy of the server's settings goes through the server's
// dialog; the job then starts again with what the user changed.
void JobCommands::edit(const SharedPtr<Downloader>& job) {
    const SharedPtr<Server> server = job->server_copy();
    if (!server)
        return;
    const SharedPtr<TreeEntry> node = TreeEntry::make_server_node(server, job->status().status);
    if (!editor_.edit(node) || node->name.empty())
        return;
    job->pause();
    if (!job->wait_for_thread(std::chrono::seconds(5))) {
        QMessageBox::warning(
            pane_, QObject::tr("Ferrovane"),
            QObject::tr("The download \"%1\" did not stop in time, so its settings are "
                        "unchanged. Try again in a moment.")
                .arg(QString::fromStdString(masked_passwords(node->name))));
        return;
    }
    job->set_server(*node->server);
    job->set_name(node->name);
    job->resume();
    JobStarter::store(application_, pane_);
}

}  // namespace tovan
