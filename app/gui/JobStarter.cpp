#include "app/gui/JobStarter.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "app/Application.h"
#include "app/Document.h"
#include "app/DownloadList.h"
#include "app/gui/SelectFolderDialog.h"
#include "engine/catalog/PasswordMask.h"
#include "tovan/log/LogChannels.h"

namespace tovan {

SharedPtr<Downloader> JobStarter::start(Application& application, SharedPtr<Downloader> job,
                                        QWidget* parent) {
    job = join(application, std::move(job));
    store(application, parent);
    job->resume();
    return job;
}

SharedPtr<Downloader> JobStarter::join(Application& application, SharedPtr<Downloader> job) {
    DownloadList list(application.document()->downloads());
    if (SharedPtr<Downloader> same = list.same_job(*job))
        return same;
    list.add(job);
    return job;
}

bool JobStarter::store(Application& application, QWidget* parent) {
    try {
        application.document()->store_downloads();
        application.save_options();
        return true;
    } catch (const std::exception& failure) {
        error_log(1) << failure.what() << std::endl;
        QMessageBox::warning(
            parent, QCoreApplication::translate("JobStarter", "Ferrovane"),
            QCoreApplication::translate(
                "JobStarter",
                "The downloads could not be saved: %1\nFree some space or make the folder "
                "writable, then save again (Ctrl+S).")
                .arg(QString::fromStdString(failure.what())));
        return false;
    }
}

void JobStarter::download_to(Application& application,
                             const std::vector<EntryDownload::Place>& places, bool changed_only,
                             QWidget* parent) {
    const std::vector<std::vector<EntryDownload::Place>> groups = EntryDownload::by_server(places);
    if (groups.empty())
        return;
    const std::optional<std::string> folder =
        SelectFolderDialog::ask(parent, application.options());
    if (!folder)
        return;
    // Stored once, before any of them runs.
    std::vector<SharedPtr<Downloader>> started;
    for (const std::vector<EntryDownload::Place>& group : groups) {
        std::vector<SharedPtr<Entry>> entries;
        for (const EntryDownload::Place& place : group) entries.push_back(place.entry);
        SharedPtr<Downloader> job = EntryDownload::make_job(
            application.internet_session(), *group.front().server, entries, *folder, changed_only);
        if (job->status().item_count != 0) {
            started.push_back(join(application, std::move(job)));
            continue;
        }
        QMessageBox::information(
            parent, QCoreApplication::translate("JobStarter", "Ferrovane"),
            QCoreApplication::translate("JobStarter", "There is nothing to download in \"%1\"%2.")
                .arg(QString::fromStdString(masked_passwords(EntryDownload::name_of(entries))),
                     changed_only
                         ? QCoreApplication::translate("JobStarter", " that is new or modified")
                         : QString()));
    }
    if (started.empty())
        return;
    store(application, parent);
    for (const SharedPtr<Downloader>& job : started) job->resume();
}

}  // namespace tovan
