#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace tovan {

// Decides which changes get marked ("+" include and "-" exclude wildcard masks,
// the first match deciding, undecided texts handed to the parent filter) and holds
// per-folder scan depth overrides. Each server has one; the application-wide filter
// is their parent.
class ScanFilter {
public:
    enum class Match { Undecided, Included, Excluded };

    ScanFilter() = default;
    ScanFilter(const ScanFilter&) = delete;
    ScanFilter& operator=(const ScanFilter&) = delete;

    void set_parent(const ScanFilter* parent);
    const ScanFilter* parent() const;

    std::vector<std::string> masks() const;
    void set_masks(std::vector<std::string> masks);
    void add_mask(const std::string& mask);
    // False when the mask was not in the list.
    bool remove_mask(const std::string& mask);

    // The first mask that matches the whole text, case folded, decides.
    Match match(std::string_view text) const;
    // The same for a text already case folded, as a caller that matches one
    // text several times folds it once.
    Match match_folded(std::string_view folded) const;
    // True when this filter and those above it include every text: their first
    // mask includes "*", or none excludes and one includes "*" or "*.*" (a text
    // without a dot is tried with one too). Then no change is ignored, and a
    // merge need not fold each marked item's name and path to find that out.
    bool includes_everything() const;

    // Depth overrides by folder full path, case folded; -1 is "no override".
    std::int32_t depth(std::string_view folder_path) const;
    void set_depth(std::string_view folder_path, std::int32_t depth);
    // Without the lock: a scan asks for every folder it queues.
    bool has_depths() const { return has_depths_.load(std::memory_order_acquire); }
    std::map<std::string, std::int32_t> depths() const;
    void set_depths(std::map<std::string, std::int32_t> depths);

private:
    mutable std::mutex lock_;
    const ScanFilter* parent_ = nullptr;
    std::vector<std::string> masks_;
    // Patterns without their sign, case folded once instead of at every match.
    std::vector<std::string> folded_patterns_;
    std::map<std::string, std::int32_t> depths_;
    std::atomic<bool> has_depths_{false};  // !depths_.empty(), set under the lock
};

}  // namespace tovan
