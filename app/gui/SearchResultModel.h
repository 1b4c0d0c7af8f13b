#pragma once

#include <QAbstractTableModel>
#include <deque>
#include <string>
#include <vector>

#include "app/Search.h"
#include "app/SearchResult.h"

namespace tovan {

// The rows of a search: one result each, in the order found. A search may find
// millions, so a row keeps only its result (24 bytes, in blocks without
// reallocation); its URL and size are formed when the row is shown.
class SearchResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { UrlColumn, SizeColumn, ColumnCount };

    explicit SearchResultModel(QObject* parent = nullptr);

    // Empties the rows for a search over these roots.
    void restart(std::vector<Search::Root> roots);
    void append(std::vector<SearchResult> batch);
    // The rows whose entries' marks changed show their new colour.
    void refresh(int first, int last);

    const SearchResult& result(int row) const { return results_[static_cast<std::size_t>(row)]; }
    const SharedPtr<TreeEntry>& server_node(int row) const;
    // The entry's URL as its server forms it, password included.
    std::string url(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Search::Root> roots_;
    std::deque<SearchResult> results_;
};

}  // namespace tovan
