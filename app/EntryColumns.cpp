#include "app/EntryColumns.h"

#include "app/TextFormats.h"

namespace tovan {
namespace {

std::string sizes_text(std::uint64_t now, std::uint64_t before, bool marked) {
    const std::string plain = size_text(static_cast<std::int64_t>(now));
    if (!marked || now == before)
        return plain;
    return "*" + plain + "(" + size_difference_text(now, before) + ")";
}

}  // namespace

std::string size_column_text(const Entry& entry) {
    if (!entry.is_folder())
        return sizes_text(entry.size(), entry.previous_size(),
                          entry.state() == EntryState::Modified);
    CatalogStats totals;
    entry.statistics(totals);
    return folder_size_text(entry.state(), totals);
}

std::string folder_size_text(EntryState state, const CatalogStats& totals) {
    return sizes_text(totals.current_size, totals.previous_size,
                      state == EntryState::ContainsChanges);
}

std::string date_column_text(const Entry& entry) {
    const bool changed = entry.state() == EntryState::Modified && entry.has_previous() &&
                         entry.previous_time() != entry.time();
    return time_text(entry.time(), changed);
}

}  // namespace tovan
