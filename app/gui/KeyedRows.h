#pragma once

#include <QAbstractTableModel>
#include <cstddef>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tovan {

// The rows of a flat table kept in step with what it should show, by key: rows
// that went are removed and new ones inserted, in runs, and the kept rows whose
// contents changed are told in one dataChanged over their range. Never a reset,
// so the views keep their selection, current row and scroll position. Row has
// key() (unique among the rows) and operator== (shows the same).
template <class Row>
class KeyedRows : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }

protected:
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
    // Leaves the rows that are still wanted, in the order wanted; a row whose
    // place changed goes and comes back.
    void remove_missing(const std::vector<Row>& wanted) {
        std::unordered_map<const void*, std::size_t> place;
        place.reserve(wanted.size());
        for (std::size_t at = 0; at < wanted.size(); ++at) place.emplace(wanted[at].key(), at);
        std::vector<bool> going(rows_.size(), false);
        std::size_t next_place = 0;
        for (std::size_t at = 0; at < rows_.size(); ++at) {
            const auto found = place.find(rows_[at].key());
            going[at] = found == place.end() || found->second < next_place;
            if (!going[at])
                next_place = found->second + 1;
        }
        for (std::size_t end = going.size(); end > 0;) {
            if (!going[end - 1]) {
                --end;
                continue;
            }
            std::size_t first = end - 1;
            while (first > 0 && going[first - 1]) --first;
            beginRemoveRows({}, static_cast<int>(first), static_cast<int>(end - 1));
            rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(first),
                        rows_.begin() + static_cast<std::ptrdiff_t>(end));
            endRemoveRows();
            end = first;
        }
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

    std::vector<Row> rows_;
};

}  // namespace tovan
