#pragma once

#include <QAbstractTableModel>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "app/gui/RowMatch.h"

namespace tovan {

// A column of a list: its title, and its width in pixels until the user drags it.
struct ListColumn {
    const char* title;
    int width;
};

// The rows of a flat table kept in step with what it should show, by key: rows
// that went are removed and new ones inserted, in runs, and the kept rows whose
// contents changed are told in one dataChanged over their range. Never a reset,
// so the views keep their selection, current row and scroll position. Row has
// key() (unique among the rows) and operator== (shows the same).
template <class Row>
class KeyedRows : public QAbstractTableModel {
public:
    KeyedRows(std::span<const ListColumn> columns, QObject* parent)
        : QAbstractTableModel(parent), columns_(columns) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(columns_.size());
    }
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
            section >= columnCount())
            return {};
        return QString::fromUtf8(columns_[static_cast<std::size_t>(section)].title);
    }

protected:
    static int width_of(std::span<const ListColumn> columns, int column) {
        return column >= 0 && static_cast<std::size_t>(column) < columns.size()
                   ? columns[static_cast<std::size_t>(column)].width
                   : 0;
    }

    // The row at that place, or null.
    const Row* row_at(int row) const {
        return row >= 0 && static_cast<std::size_t>(row) < rows_.size()
                   ? &rows_[static_cast<std::size_t>(row)]
                   : nullptr;
    }

    void set_rows(std::vector<Row> wanted) {
        remove_missing(wanted);
        insert_missing(wanted);
        int first = -1;
        int last = -1;
        for (std::size_t at = 0; at < rows_.size(); ++at) {
            if (rows_[at] == wanted[at])
                continue;
            rows_[at] = std::move(wanted[at]);
            first = first < 0 ? static_cast<int>(at) : first;
            last = static_cast<int>(at);
        }
        if (first >= 0)
            emit dataChanged(index(first, 0), index(last, columnCount() - 1));
    }

private:
    void remove_missing(const std::vector<Row>& wanted) {
        const std::vector<bool> going =
            row_match::going(rows_, wanted, [](const Row&, const Row&) { return true; });
        row_match::for_each_run_backwards(going, [&](std::size_t first, std::size_t end) {
            beginRemoveRows({}, static_cast<int>(first), static_cast<int>(end - 1));
            rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(first),
                        rows_.begin() + static_cast<std::ptrdiff_t>(end));
            endRemoveRows();
        });
    }

    void insert_missing(const std::vector<Row>& wanted) {
        std::size_t at = 0;
        for (std::size_t next = 0; next < wanted.size();) {
            if (at < rows_.size() && rows_[at].key() == wanted[next].key()) {
                ++at;
                ++next;
                continue;
            }
            std::size_t end = next;
            while (end < wanted.size() &&
                   (at >= rows_.size() || wanted[end].key() != rows_[at].key()))
                ++end;
            const auto first = static_cast<int>(at);
            beginInsertRows({}, first, first + static_cast<int>(end - next) - 1);
            rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at),
                         wanted.begin() + static_cast<std::ptrdiff_t>(next),
                         wanted.begin() + static_cast<std::ptrdiff_t>(end));
            endInsertRows();
            at += end - next;
            next = end;
        }
    }

    std::span<const ListColumn> columns_;
    std::vector<Row> rows_;
};

}  // namespace tovan
