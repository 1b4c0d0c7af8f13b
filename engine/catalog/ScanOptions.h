#pragma once

#include <cstdint>

namespace tovan {

// The options a scan reads while it merges listings into the catalog. The
// scanner is handed one read-only copy.
struct ScanOptions {
    bool mark_deleted = true;
    bool mark_changed_by_mtime = true;
    bool full_scan_new_folders = true;
    bool keep_empty_folder_marks = true;
    bool unmark_old_enabled = true;
    std::uint32_t unmark_old_hours = 72;
};

}  // namespace tovan
