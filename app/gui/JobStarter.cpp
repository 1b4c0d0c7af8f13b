#include "app/gui/JobStarter.h"

#include <QMessageBox>

#include "app/Application.h"
#include "app/Document.h"
#include "app/DownloadList.h"
#include "tovan/log/LogChannels.h"

namespace tovan {

SharedPtr<Downloader> JobStarter::start(Application& application, SharedPtr<Downloader> job,
                                        QWidget* parent) {
    DownloadList list(application.document()->downloads());
    if (SharedPtr<Downloader> same = list.same_job(*job))
        job = same;
    else
        list.add(job);
    try {
        application.document()->store_downloads();
    } catch (const std::exception& failure) {
        error_log(1) << failure.what() << std::endl;
        QMessageBox::warning(parent, QObject::tr("Ferrovane"),
                             QObject::tr("The download could not be saved, so it is lost if "
                                         "Ferrovane ends before its next save: %1")
                                 .arg(QString::fromStdString(failure.what())));
    }
    job->resume();
    return job;
}

}  // namespace tovan
