#include "app/SearchFolderMatch.h"

#include <algorithm>

namespace tovan {

// The parts are taken leftmost in turn, as match_literal takes them. A part not
// found in the folder's path may still begin in its last bytes and end in a name,
// never earlier; the parts after it come after it.
SearchFolderMatch::SearchFolderMatch(const SearchMasks& masks, std::string upped_prefix)
    : masks_(masks), prefix_(std::move(upped_prefix)), tail_start_(prefix_.size()) {
    for (const SearchMasks::Compiled& mask : masks_.compiled_) {
        Progress progress;
        if (!SearchMasks::spans_whole_path(mask)) {
            whole_path_ = true;
            progress_.push_back(progress);
            continue;
        }
        const std::vector<std::string>& parts = mask.parts;
        std::size_t at = 0;
        std::size_t part = 1;
        for (; part + 1 < parts.size(); ++part) {
            const std::size_t found = prefix_.find(parts[part], at);
            if (found == std::string::npos)
                break;
            at = found + parts[part].size();
        }
        if (part + 1 == parts.size()) {
            every_file_ = true;
            progress_.push_back(progress);
            continue;
        }
        progress.part = part;
        const std::size_t reach = std::min(prefix_.size(), parts[part].size() - 1);
        progress.from = std::max(at, prefix_.size() - reach);
        tail_start_ = std::min(tail_start_, progress.from);
        progress_.push_back(progress);
    }
    if (whole_path_)
        tail_start_ = 0;
}

bool SearchFolderMatch::match(std::string_view name) {
    if (every_file_ || masks_.empty())
        return true;
    path_.assign(prefix_, tail_start_);
    SearchMasks::append_upped(path_, name);
    if (whole_path_)
        return masks_.match_upped(path_);
    for (std::size_t i = 0; i < progress_.size(); ++i)
        if (match_tail(masks_.compiled_[i], progress_[i]))
            return true;
    return false;
}

bool SearchFolderMatch::match_tail(const SearchMasks::Compiled& mask,
                                   const Progress& progress) const {
    const std::string_view path = path_;
    std::size_t at = progress.from - tail_start_;
    for (std::size_t part = progress.part; part + 1 < mask.parts.size(); ++part) {
        const std::size_t found = path.find(mask.parts[part], at);
        if (found == std::string_view::npos)
            return false;
        at = found + mask.parts[part].size();
    }
    return true;
}

}  // namespace tovan
