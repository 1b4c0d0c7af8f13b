#include "engine/catalog/ScanFilter.h"

#include <algorithm>

#include "tovan/Utf8Case.h"
#include "tovan/Wildcard.h"

namespace tovan {
namespace {

bool is_exclusion(const std::string& mask) {
    return !mask.empty() && mask[0] == '-';
}

std::string folded_pattern(const std::string& mask) {
    const bool signed_mask = !mask.empty() && (mask[0] == '+' || mask[0] == '-');
    return to_lower_utf8(std::string_view(mask).substr(signed_mask ? 1 : 0));
}

}  // namespace

void ScanFilter::set_parent(const ScanFilter* parent) {
    std::lock_guard guard(lock_);
    parent_ = parent;
}

const ScanFilter* ScanFilter::parent() const {
    std::lock_guard guard(lock_);
    return parent_;
}

std::vector<std::string> ScanFilter::masks() const {
    std::lock_guard guard(lock_);
    return masks_;
}

void ScanFilter::set_masks(std::vector<std::string> masks) {
    std::vector<std::string> patterns;
    patterns.reserve(masks.size());
    for (const std::string& mask : masks) patterns.push_back(folded_pattern(mask));
    std::lock_guard guard(lock_);
    masks_ = std::move(masks);
    folded_patterns_ = std::move(patterns);
}

void ScanFilter::add_mask(const std::string& mask) {
    std::string pattern = folded_pattern(mask);
    std::lock_guard guard(lock_);
    masks_.push_back(mask);
    folded_patterns_.push_back(std::move(pattern));
}

bool ScanFilter::remove_mask(const std::string& mask) {
    std::lock_guard guard(lock_);
    const auto found = std::find(masks_.begin(), masks_.end(), mask);
    if (found == masks_.end())
        return false;
    folded_patterns_.erase(folded_patterns_.begin() + (found - masks_.begin()));
    masks_.erase(found);
    return true;
}

ScanFilter::Match ScanFilter::match(std::string_view text) const {
    return match_folded(to_lower_utf8(text));
}

ScanFilter::Match ScanFilter::match_folded(std::string_view folded) const {
    std::lock_guard guard(lock_);
    for (std::size_t i = 0; i < masks_.size(); ++i) {
        if (wildcard_match(folded_patterns_[i], folded))
            return is_exclusion(masks_[i]) ? Match::Excluded : Match::Included;
    }
    // The child's lock stays held while the parent takes its own.
    return parent_ != nullptr ? parent_->match_folded(folded) : Match::Undecided;
}

bool ScanFilter::includes_everything() const {
    bool first = true;
    bool excludes = false;
    bool catch_all = false;
    for (const ScanFilter* filter = this; filter != nullptr;) {
        std::lock_guard guard(filter->lock_);
        for (std::size_t i = 0; i < filter->masks_.size(); ++i) {
            const bool exclusion = is_exclusion(filter->masks_[i]);
            const std::string& pattern = filter->folded_patterns_[i];
            if (first && !exclusion && pattern == "*")
                return true;
            first = false;
            excludes |= exclusion;
            catch_all |= !exclusion && (pattern == "*" || pattern == "*.*");
        }
        filter = filter->parent_;
    }
    return !excludes && catch_all;
}

std::int32_t ScanFilter::depth(std::string_view folder_path) const {
    std::lock_guard guard(lock_);
    if (depths_.empty())
        return -1;
    const auto found = depths_.find(to_lower_utf8(folder_path));
    return found != depths_.end() ? found->second : -1;
}

void ScanFilter::set_depth(std::string_view folder_path, std::int32_t depth) {
    std::string key = to_lower_utf8(folder_path);
    std::lock_guard guard(lock_);
    if (depth == -1)
        depths_.erase(key);
    else
        depths_[std::move(key)] = depth;
    has_depths_ = !depths_.empty();
}

std::map<std::string, std::int32_t> ScanFilter::depths() const {
    std::lock_guard guard(lock_);
    return depths_;
}

void ScanFilter::set_depths(std::map<std::string, std::int32_t> depths) {
    std::lock_guard guard(lock_);
    depths_ = std::move(depths);
    has_depths_ = !depths_.empty();
}

}  // namespace tovan
