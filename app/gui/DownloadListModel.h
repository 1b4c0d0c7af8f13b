#pragma once

#include <array>

#include "app/gui/KeyedRows.h"
#include "engine/download/Downloader.h"
#include "engine/tree/TreeEntry.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// What one row of the downloads mode shows, read at the last refresh.
struct JobRow {
    SharedPtr<TreeEntry> node;  // the job's node in the downloads tree
    SharedPtr<Downloader> job;
    Downloader::Status status;

    const void* key() const { return job.get(); }
    bool operator==(const JobRow& other) const;
};

// The list pane's downloads mode: one row per job, in the download list's
// order, with its progress, speed or state, size and files done. Refreshed every
// tick in place: each job's status, which takes the job's lock, is read once per
// refresh, and the rows that show something new are told as changed in one
// signal, so the selection and the scroll position stay. Interface thread only.
class DownloadListModel : public KeyedRows<JobRow> {
    Q_OBJECT

public:
    enum Column { File, Progress, Speed, Size, DownloadedFiles, ColumnCount };

    explicit DownloadListModel(QObject* parent = nullptr);

    static int default_width(int column) { return width_of(Columns, column); }

    // Shows the jobs below the downloads root.
    void show_jobs(const SharedPtr<TreeEntry>& downloads_root);
    // Reads every job's status again; jobs added or removed come and go as rows.
    void refresh();

    SharedPtr<Downloader> job_at(int row) const;
    SharedPtr<TreeEntry> node_at(int row) const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    static constexpr std::array<ListColumn, ColumnCount> Columns = {
        {{"File", 200}, {"Progress", 80}, {"Speed", 80}, {"Size", 70}, {"Downloaded Files", 100}}};

    SharedPtr<TreeEntry> root_;
};

}  // namespace tovan
