#pragma once

#include <string>

#include "engine/catalog/CatalogStats.h"
#include "engine/catalog/Entry.h"

namespace tovan {

// The Size and Date Modified columns of a folder's contents, where a marked
// change shows what it was before. Examples: tests/app/EntryColumnsTest.cpp.

// A file: "*1.5 KB(+512 Bytes)" when it is modified and its size changed, else
// its size. A folder: the total of the files below it, starred the same way
// when it holds changes and the total moved; this walks the whole subtree.
std::string size_column_text(const Entry& entry);
// The folder form with totals already counted (statistics() of the folder).
std::string folder_size_text(EntryState state, const CatalogStats& totals);
// "*" and the time when a modified entry's time changed, else the time.
std::string date_column_text(const Entry& entry);

}  // namespace tovan
