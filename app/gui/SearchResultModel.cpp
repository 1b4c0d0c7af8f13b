#include "app/gui/SearchResultModel.h"

#include <iterator>

#include "app/TextFormats.h"
#include "app/gui/TreeLook.h"
#include "engine/catalog/PasswordMask.h"
#include "engine/catalog/Server.h"

namespace tovan {

SearchResultModel::SearchResultModel(QObject* parent) : QAbstractTableModel(parent) {}

void SearchResultModel::restart(std::vector<Search::Root> roots) {
    beginResetModel();
    results_.clear();
    roots_ = std::move(roots);
    endResetModel();
}

void SearchResultModel::append(std::vector<SearchResult> batch) {
    if (batch.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(batch.size()) - 1);
    results_.insert(results_.end(), std::make_move_iterator(batch.begin()),
                    std::make_move_iterator(batch.end()));
    endInsertRows();
}

void SearchResultModel::refresh(int first, int last) {
    emit dataChanged(index(first, 0), index(last, ColumnCount - 1), {Qt::ForegroundRole});
}

const SharedPtr<TreeEntry>& SearchResultModel::server_node(int row) const {
    return roots_[result(row).root].server;
}

std::string SearchResultModel::url(int row) const {
    const SharedPtr<TreeEntry>& node = server_node(row);
    return node->server ? node->server->url(result(row).entry.get()) : std::string();
}

int SearchResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(results_.size());
}

int SearchResultModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SearchResultModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const Entry& entry = *result(index.row()).entry;
    if (role == Qt::ForegroundRole) {
        const QColor colour = TreeLook::colour_of(entry.state());
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
    if (role != Qt::DisplayRole)
        return {};
    if (index.column() == UrlColumn)
        return QString::fromStdString(masked_passwords(url(index.row())));
    if (entry.is_folder())
        return {};
    return QString::fromStdString(short_size_text(entry.size()));
}

QVariant SearchResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == UrlColumn ? tr("Url") : tr("Size");
}

}  // namespace tovan
