#include "app/gui/DownloadListModel.h"

#include <QApplication>
#include <QStyle>
#include <array>

#include "app/DownloadList.h"
#include "app/DownloadText.h"
#include "app/TextFormats.h"
#include "app/gui/TreeLook.h"
#include "engine/catalog/PasswordMask.h"

namespace tovan {
namespace {

QString masked(const std::string& text) {
    return QString::fromStdString(masked_passwords(text));
}

QString column_text(const Downloader::Status& status, int column) {
    switch (column) {
        case DownloadListModel::File:
            return masked(status.name);
        case DownloadListModel::Progress:
            return QString::fromStdString(
                progress_text(status.progress, status.file_progress, status.item_count));
        case DownloadListModel::Speed:
            // A failure quotes the server's answer, which may hold its URL.
            return masked(speed_column_text(status));
        case DownloadListModel::Size:
            return QString::fromStdString(size_text(static_cast<std::int64_t>(status.total)));
        case DownloadListModel::DownloadedFiles:
            return QString("%1/ %2").arg(status.completed_count).arg(status.item_count);
        default:
            return {};
    }
}

}  // namespace

// What the columns show, and nothing else: the current file's name changes
// many times a second in a job of small files.
bool JobRow::operator==(const JobRow& other) const {
    const Downloader::Status& a = status;
    const Downloader::Status& b = other.status;
    return node == other.node && job == other.job && a.state == b.state &&
           a.wait_seconds == b.wait_seconds && a.speed == b.speed && a.progress == b.progress &&
           a.file_progress == b.file_progress && a.completed_count == b.completed_count &&
           a.item_count == b.item_count && a.total == b.total && a.name == b.name &&
           a.failure == b.failure;
}

DownloadListModel::DownloadListModel(QObject* parent) : KeyedRows(Columns, parent) {}

void DownloadListModel::show_jobs(const SharedPtr<TreeEntry>& downloads_root) {
    root_ = downloads_root;
    refresh();
}

void DownloadListModel::refresh() {
    std::vector<JobRow> wanted;
    if (root_)
        for (const SharedPtr<TreeEntry>& node : DownloadList(root_).job_nodes())
            wanted.push_back({node, node->download, node->download->status()});
    set_rows(std::move(wanted));
}

SharedPtr<Downloader> DownloadListModel::job_at(int row) const {
    const JobRow* shown = row_at(row);
    return shown != nullptr ? shown->job : SharedPtr<Downloader>();
}

SharedPtr<TreeEntry> DownloadListModel::node_at(int row) const {
    const JobRow* shown = row_at(row);
    return shown != nullptr ? shown->node : SharedPtr<TreeEntry>();
}

QVariant DownloadListModel::data(const QModelIndex& index, int role) const {
    const JobRow* row = row_at(index.row());
    if (row == nullptr || !index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return column_text(row->status, index.column());
    if (role == Qt::DecorationRole && index.column() == File) {
        // A job of several files is a folder's.
        if (row->status.item_count > 1)
            return TreeLook::icon(TreeLook::Folder);
        return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    }
    return {};
}

}  // namespace tovan
