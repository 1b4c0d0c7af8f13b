// Merges random listings, and a table of the cases users meet, into a catalog
// and checks every result against a plain model of the merge rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/catalog/ChangeMarks.h"
#include "engine/catalog/ListingMerge.h"
#include "support/CatalogText.h"

namespace tovan {
namespace {

struct Node {
    bool folder = false;
    std::uint64_t size = 0;
    std::int64_t time = 0;
    EntryState state = EntryState::Unchanged;
    std::optional<std::pair<std::uint64_t, std::int64_t>> previous;
    bool listed = false;
    std::map<std::string, Node> children;  // std::string orders bytes as unsigned
};

struct Item {
    bool folder;
    std::uint64_t size;
    std::int64_t time;
};
using Listing = std::map<std::string, Item>;

bool ignored(const std::string& name) {
    return name.size() > 4 && name.ends_with(".tmp");
}

// The model of the merge rules, on plain maps.
class Model {
public:
    Model(const ScanOptions& options, std::int64_t now) : options_(options), now_(now) {}

    std::multiset<std::string> marks;
    std::multiset<std::string> queued;

    void merge(Node& folder, const std::string& path, const Listing& listing, std::int32_t depth,
               bool single) {
        depth_ = depth;
        single_ = single;
        path_ = path;
        if (listing.empty() && !options_.keep_empty_folder_marks)
            unmark_subtree(folder);
        const bool new_folder = !folder.listed;
        folder.listed = true;
        for (const auto& [name, item] : listing) {
            auto old = folder.children.find(name);
            if (new_folder || old == folder.children.end() || old->second.folder != item.folder) {
                add_new(folder, name, item);
            } else if (item.folder ||
                       (old->second.time == item.time && old->second.size == item.size)) {
                keep_old(name, old->second);
            } else {
                Node replaced = make(item);
                replaced.previous = {old->second.size, old->second.time};
                const bool mark_it =
                    (options_.mark_changed_by_mtime || old->second.size != item.size) &&
                    recent(item.time) && !ignored(name);
                folder.children[name] = replaced;
                if (mark_it)
                    mark(name, folder.children[name], EntryState::Modified);
            }
        }
        for (auto it = folder.children.begin(); it != folder.children.end();) {
            if (listing.count(it->first) != 0) {
                ++it;
            } else if (!options_.mark_deleted) {
                it = folder.children.erase(it);
            } else if (it->second.state != EntryState::Deleted &&
                       ignored_entirely(it->first, it->second)) {
                it = folder.children.erase(it);
            } else {
                mark(it->first, it->second, EntryState::Deleted);
                ++it;
            }
        }
        if (options_.unmark_old_enabled)
            unmark_old(folder);
    }

    static void unmark_subtree(Node& node) {
        if (node.state != EntryState::Unchanged)
            node.previous.reset();
        node.state = EntryState::Unchanged;
        for (auto it = node.children.begin(); it != node.children.end();) {
            if (it->second.state == EntryState::Deleted) {
                it = node.children.erase(it);
            } else {
                unmark_subtree(it->second);
                ++it;
            }
        }
    }

    // Folder states follow from what is marked below them.
    static void derive_folder_states(Node& node) {
        bool marked_below = false;
        for (auto& [name, child] : node.children) {
            if (child.folder && child.state != EntryState::Deleted)
                derive_folder_states(child);
            marked_below |= child.state != EntryState::Unchanged;
        }
        if (node.state != EntryState::Deleted)
            node.state = marked_below ? EntryState::ContainsChanges : EntryState::Unchanged;
    }

private:
    static Node make(const Item& item) {
        Node node;
        node.folder = item.folder;
        node.size = item.folder ? 0 : item.size;
        node.time = item.time;
        return node;
    }

    bool recent(std::int64_t time) const {
        return !options_.unmark_old_enabled || (now_ - time) / 3600 <= options_.unmark_old_hours;
    }

    // A gone item is dropped unmarked only when neither it nor anything in it is
    // to be marked.
    static bool ignored_entirely(const std::string& name, const Node& node) {
        if (!ignored(name))
            return false;
        for (const auto& [child_name, child] : node.children)
            if (!ignored_entirely(child_name, child))
                return false;
        return true;
    }

    void mark(const std::string& name, Node& node, EntryState state) {
        if (node.state == state)
            return;
        node.state = state;
        if (state == EntryState::Deleted)
            delete_subtree(node);
        marks.insert(path_ + name + "=" + std::to_string(static_cast<int>(state)));
    }

    static void delete_subtree(Node& node) {
        for (auto& [name, child] : node.children) {
            child.state = EntryState::Deleted;
            delete_subtree(child);
        }
    }

    void queue(const std::string& name, std::int32_t depth, bool new_folder) {
        if (depth != 0 && !single_)
            queued.insert(path_ + name + ":" + std::to_string(depth) + (new_folder ? "n" : "k"));
    }

    void add_new(Node& folder, const std::string& name, const Item& item) {
        folder.children[name] = make(item);
        Node& node = folder.children[name];
        if (!item.folder && recent(item.time) && !ignored(name))
            mark(name, node, EntryState::New);
        if (item.folder)
            queue(name, options_.full_scan_new_folders ? -2 : depth_, true);
    }

    void keep_old(const std::string& name, Node& old) {
        if (old.state == EntryState::Deleted) {
            if (!old.folder && recent(old.time) && !ignored(name)) {
                mark(name, old, EntryState::New);
            } else {
                old.state = EntryState::Unchanged;  // folders: derived afterwards
                old.previous.reset();
                if (old.folder) {
                    derive_folder_states(old);
                }
            }
        }
        if (old.folder)
            queue(name, depth_, false);
    }

    void unmark_old(Node& folder) {
        Node copy = folder;
        derive_folder_states(copy);
        if (copy.state == EntryState::Unchanged)
            return;
        for (auto it = folder.children.begin(); it != folder.children.end();) {
            Node& child = it->second;
            const bool old = !child.folder && child.state != EntryState::Unchanged &&
                             (now_ - child.time) / 3600 > options_.unmark_old_hours;
            if (old && child.state == EntryState::Deleted) {
                it = folder.children.erase(it);
                continue;
            }
            if (old) {
                child.state = EntryState::Unchanged;
                child.previous.reset();
            }
            ++it;
        }
    }

    const ScanOptions& options_;
    std::int64_t now_;
    std::int32_t depth_ = 0;
    bool single_ = false;
    std::string path_;
};

class Recorder : public MergeListener {
public:
    void marked(const SharedPtr<Entry>& item) override {
        marks.insert(item->full_path() + "=" + std::to_string(static_cast<int>(item->state())));
    }
    void subfolder_found(const SharedPtr<Entry>& folder, std::int32_t depth,
                         bool new_folder) override {
        queued.insert(folder->full_path() + ":" + std::to_string(depth) + (new_folder ? "n" : "k"));
    }
    std::multiset<std::string> marks;
    std::multiset<std::string> queued;
};

// Compares the catalog with the model, children in catalog order.
void expect_same(const Entry& entry, const Node& node, const std::string& where) {
    ASSERT_EQ(entry.is_folder(), node.folder) << where;
    ASSERT_EQ(static_cast<int>(entry.state()), static_cast<int>(node.state)) << where;
    if (!node.folder) {
        ASSERT_EQ(entry.size(), node.size) << where;
        ASSERT_EQ(entry.time(), node.time) << where;
        const std::uint64_t previous_size = node.state == EntryState::New ? 0
                                            : node.previous               ? node.previous->first
                                                                          : node.size;
        ASSERT_EQ(entry.previous_size(), previous_size) << where;
        ASSERT_EQ(entry.previous_time(), node.previous ? node.previous->second : node.time)
            << where;
        return;
    }
    std::vector<std::pair<std::string, const Node*>> ordered;
    for (bool folders : {true, false})
        for (const auto& [name, child] : node.children)
            if (child.folder == folders)
                ordered.emplace_back(name, &child);
    ASSERT_EQ(entry.child_count(), ordered.size()) << where;
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        const SharedPtr<Entry> child = entry.child(i);
        ASSERT_EQ(child->name(), ordered[i].first) << where;
        ASSERT_EQ(child->parent(), &entry) << where;
        expect_same(*child, *ordered[i].second, where + ordered[i].first + "/");
    }
}

// A catalog and its model, merged alike and compared after every step.
class MergeFixture : public testing::Test {
protected:
    MergeFixture() {
        filter.set_masks({"-*.tmp", "+*"});
        server.set_parent_filter(&filter);
        EXPECT_TRUE(server.from_url("/m/"));
        root = server.root();
        model.folder = true;
    }

    void merge(const SharedPtr<Entry>& folder, Node& node, const Listing& listing,
               const ScanOptions& options, std::int64_t now, std::int32_t depth = -2,
               bool single = false) {
        const bool new_folder = !node.listed;
        Model expected(options, now);
        expected.merge(node, folder->path_for_children(), listing, depth, single);
        Recorder recorder;
        ListingMerge merge(server, options, now, recorder);
        merge.merge(*folder, *test::listing(words_of(listing), folder->path_for_children()), depth,
                    new_folder, single);
        EXPECT_EQ(recorder.marks, expected.marks);
        EXPECT_EQ(recorder.queued, expected.queued);
    }

    void unmark(const SharedPtr<Entry>& entry, Node& node, Node* parent) {
        const bool drops = node.state == EntryState::Deleted;
        ChangeMarks::set(*entry, EntryState::Unchanged);
        if (!drops)
            Model::unmark_subtree(node);
        else if (parent != nullptr)
            parent->children.erase(std::string(entry->name()));
    }

    void expect_same_as_model() {
        Model::derive_folder_states(model);
        model.state = model.state == EntryState::Deleted ? EntryState::Unchanged : model.state;
        expect_same(*root, model, "/m/");
    }

    // The listing as support/CatalogText describes one.
    static std::string words_of(const Listing& listing) {
        std::string words;
        for (const auto& [name, item] : listing)
            words += name + (item.folder ? "/ "
                                         : ":" + std::to_string(item.size) + ":" +
                                               std::to_string(item.time) + " ");
        return words;
    }

    ScanFilter filter;
    Server server;
    SharedPtr<Entry> root;
    Node model;
};

class MergeModel : public MergeFixture, public testing::WithParamInterface<unsigned> {
protected:
    std::mt19937 random{GetParam()};

    int roll(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); }

    std::string random_name() {
        // clang-format off
        static const char* names[] = {"a", "B", "b", "c.tmp", "d.txt", "é", "Z", "a-b", "sub", "x.tmp", "long-name-of-a-file.dat", "0"};
        // clang-format on
        return names[roll(std::size(names))];
    }

    Item random_item(const std::int64_t now) {
        return {roll(4) == 0, static_cast<std::uint64_t>(roll(3)), now - roll(6) * 20 * 3600};
    }

    Listing listing_for(const Node& folder, std::int64_t now) {
        Listing listing;
        if (roll(10) == 0)
            return listing;
        if (roll(4) == 0) {
            // Listed again as it is, the common rescan: deleted and marked
            // items among it come back or stay as they are.
            for (const auto& [name, child] : folder.children)
                listing[name] = {child.folder, child.size, child.time};
            return listing;
        }
        for (const auto& [name, child] : folder.children) {
            const int fate = roll(20);
            if (fate < 12)
                listing[name] = {child.folder, child.size, child.time};
            else if (fate < 15)
                listing[name] = {child.folder, child.size + roll(2), child.time + roll(2) * 100};
            else if (fate < 16)
                listing[name] = {!child.folder, 1, child.time};
        }
        for (int extra = roll(4); extra > 0; --extra) listing[random_name()] = random_item(now);
        return listing;
    }

    // A random folder that is in the catalog and not deleted, with its model node.
    std::pair<SharedPtr<Entry>, Node*> pick_folder() {
        SharedPtr<Entry> entry = root;
        Node* node = &model;
        while (roll(3) != 0) {
            std::vector<std::string> folders;
            for (auto& [name, child] : node->children)
                if (child.folder && child.state != EntryState::Deleted)
                    folders.push_back(name);
            if (folders.empty())
                break;
            const std::string& name = folders[roll(folders.size())];
            entry = entry->find_child(name);
            node = &node->children[name];
        }
        return {entry, node};
    }
};

TEST_P(MergeModel, RandomListingsMergeExactlyAsTheRulesSay) {
    const std::int64_t now = 1'000'000'000;
    for (int step = 0; step < 300; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        auto [folder, node] = pick_folder();
        if (roll(5) == 0) {
            if (node->children.empty() || roll(3) == 0) {
                unmark(folder, *node, nullptr);
            } else {
                auto it = node->children.begin();
                std::advance(it, roll(node->children.size()));
                unmark(folder->find_child(it->first), it->second, node);
            }
        } else {
            ScanOptions options;
            options.mark_deleted = roll(4) != 0;
            options.mark_changed_by_mtime = roll(2) != 0;
            options.full_scan_new_folders = roll(2) != 0;
            options.keep_empty_folder_marks = roll(2) != 0;
            options.unmark_old_enabled = roll(2) != 0;
            options.unmark_old_hours = 30 + roll(60);
            const std::int32_t depth = roll(4) - 2;
            merge(folder, *node, listing_for(*node, now), options, now, depth, roll(5) == 0);
        }
        expect_same_as_model();
        if (HasFatalFailure())
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, MergeModel, testing::Range(1u, 13u));

constexpr std::int64_t Hour = 3600;
constexpr std::int64_t Now = 1000 + Hour;  // the listings' default time is an hour old

// One listing of a folder below the root ("" is the root itself), or the
// user unmarking the whole catalog.
struct Step {
    std::string folder;
    std::string listing;
    std::int64_t now = Now;
};
const Step Unmark{"!", ""};

struct Case {
    const char* name;
    ScanOptions options;
    std::vector<Step> steps;
    const char* after;  // the catalog at the end, as support/CatalogText renders it
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

std::string recent_at(std::int64_t hours) {
    return "seen:2:0 recent:1:" + std::to_string(hours * Hour);
}

// clang-format off
const Case cases[] = {
    {"FirstListingMarksFilesNew", {}, {{"", "b.txt a.txt sub/ other/"}}, "other/ sub/ a.txt+ b.txt+"},
    {"UnchangedRescanMarksNothing", {}, {{"", "a:5:900 b:6:900 dir/"}, Unmark, {"", "a:5:900 b:6:900 dir/"}}, "dir/ a b"},
    {"TimeOnlyChangeWithoutTimes", ScanOptions{.mark_changed_by_mtime = false}, {{"", "f:10:900"}, Unmark, {"", "f:10:950"}}, "f"},
    {"TimeOnlyChange", {}, {{"", "f:10:900"}, Unmark, {"", "f:10:990"}}, "f*"},
    {"SizeChangeWithoutTimes", ScanOptions{.mark_changed_by_mtime = false}, {{"", "f:10:900"}, Unmark, {"", "f:12:900"}}, "f*"},
    {"FileBecomesFolder", {}, {{"", "thing"}, Unmark, {"", "thing/"}}, "thing/"},
    {"FolderBecomesFile", {}, {{"", "thing/"}, Unmark, {"", "thing"}}, "thing+"},
    {"VanishedMarkedDeletedOnce", {}, {{"", "keep gone dir/"}, {"dir", "inner"}, Unmark, {"", "keep"}, {"", "keep"}}, "dir/-(inner-) gone- keep"},
    {"VanishedRemovedWithoutDeletedMarks", ScanOptions{.mark_deleted = false}, {{"", "keep gone dir/"}, Unmark, {"", ""}}, ""},
    {"DeletedFileReturnsNew", {}, {{"", "f:3:1000"}, Unmark, {"", ""}, {"", "f:3:1000"}}, "f+"},
    {"ReturningFileTooOldIsUnmarked", ScanOptions{.unmark_old_hours = 24}, {{"", "old:3:1000 young:1"}, Unmark, {"", "young:1"}, {"", "old:3:1000 young:1", Now + 100 * Hour}}, "old young"},
    {"DeletedFolderReturnsWithItsItems", {}, {{"", "d/"}, {"d", "x y"}, Unmark, {"", ""}, {"", "d/"}, {"d", "x z"}}, "d/~(x+ y- z+)"},
    {"OldChangesUnmarkedAndOldMarksExpire", ScanOptions{.unmark_old_hours = 24}, {{"", "seen:1:0", 30 * Hour}, {"", recent_at(29), 30 * Hour}, {"", recent_at(29), 53 * Hour}, {"", recent_at(29), 54 * Hour}}, "recent seen"},
    {"EmptyListingClearsMarks", ScanOptions{.keep_empty_folder_marks = false}, {{"", "a b sub/"}, {"sub", "c"}, {"", ""}}, "sub/-(c-) a- b-"},
    // A folder the filter ignores still shows that what it held is gone.
    {"IgnoredItemsDroppedWhenGone", {}, {{"", "work.tmp keep.txt cache.tmp/ build.tmp/"}, {"cache.tmp", "x.tmp"}, {"build.tmp", "out.txt"}, Unmark, {"", ""}}, "build.tmp/-(out.txt-) keep.txt-"},
};
// clang-format on

class MergeRules : public MergeFixture, public testing::WithParamInterface<Case> {
protected:
    void run(const std::vector<Step>& steps, const ScanOptions& options) {
        for (const Step& step : steps) {
            SCOPED_TRACE(step.folder + ": " + step.listing);
            if (step.folder == Unmark.folder) {
                unmark(root, model, nullptr);
            } else {
                SharedPtr<Entry> folder = root;
                Node* node = &model;
                if (!step.folder.empty()) {
                    folder = folder->find_child(step.folder);
                    node = &node->children[step.folder];
                }
                Listing listing;
                const SharedPtr<Entry> fresh = test::listing(step.listing);
                for (const SharedPtr<Entry>& item : fresh->children())
                    listing[std::string(item->name())] = {item->is_folder(), item->size(),
                                                          item->time()};
                merge(folder, *node, listing, options, step.now);
            }
            expect_same_as_model();
        }
    }
};

TEST_P(MergeRules, MergeAsTheModelSays) {
    run(GetParam().steps, GetParam().options);
    EXPECT_EQ(test::render(*root), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Cases, MergeRules, testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MergeRules, SubfolderDepthsFollowOverridesAndTheSingleFlag) {
    ScanOptions options;
    options.full_scan_new_folders = false;
    const auto queued = [&](const char* items, std::int32_t depth, bool single = false) {
        Recorder recorder;
        ListingMerge(server, options, Now, recorder)
            .merge(*root, *test::listing(items, "/m/"), depth, root->child_count() == 0, single);
        return recorder.queued;
    };
    queued("a/ b/ c/", 1);
    server.set_scan_depth(*root->find_child("b"), 5);
    server.set_scan_depth(*root->find_child("c"), 0);
    using Queued = std::multiset<std::string>;
    EXPECT_EQ(queued("a/ b/ c/", 1), Queued({"/m/b:5k", "/m/a:1k"}));
    EXPECT_EQ(queued("a/ b/ c/", 0), Queued({"/m/b:5k"}));
    EXPECT_EQ(queued("a/ b/ c/", 3, true), Queued());
    EXPECT_EQ(queued("a/ b/ c/ d/", 2), Queued({"/m/d:2n", "/m/b:5k", "/m/a:2k"}));
}

}  // namespace
}  // namespace tovan
