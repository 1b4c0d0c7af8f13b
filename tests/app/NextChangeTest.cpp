#include <gtest/gtest.h>

#include "app/NextChange.h"
#include "engine/catalog/ChangeMarks.h"
#include "engine/catalog/Server.h"
#include "support/CatalogText.h"

namespace tovan {
namespace {

// One server "nas" with the folders a/, b/ and b/c/, each holding one file.
class NextChangeTest : public ::testing::Test {
protected:
    NextChangeTest() {
        root->children.push_back(node);
        a = add_folder(*node->server->root(), "a");
        b = add_folder(*node->server->root(), "b");
        c = add_folder(*b, "c");
    }

    static SharedPtr<Entry> add_folder(Entry& parent, const char* name) {
        SharedPtr<Entry> folder = Entry::create_folder(name);
        parent.add_child(folder);
        folder->add_child(Entry::create_file("file", 1, 1000));
        return folder;
    }
    static void mark(const SharedPtr<Entry>& folder) {
        ChangeMarks::set(*folder->child(0), EntryState::New);
    }
    std::optional<TreePlace> next_from(const SharedPtr<Entry>& folder) {
        return NextChange::find(root, {node, folder}, {});
    }

    SharedPtr<TreeEntry> root = TreeEntry::make_group("root");
    SharedPtr<TreeEntry> node = test::server_node("/srv/nas/", "nas");
    SharedPtr<Entry> a, b, c;
};

// With the only change above the selection the search wraps once to it.
TEST_F(NextChangeTest, TheNextChangedFolderInDisplayOrderFollowsTheSelectionAndWraps) {
    mark(a);
    EXPECT_EQ(next_from(c)->folder, a);
    EXPECT_EQ(next_from(a)->folder, a);
    mark(c);
    EXPECT_EQ(next_from({})->folder, a);
    EXPECT_EQ(next_from(a)->folder, c);
    EXPECT_EQ(next_from(b)->folder, c);
    EXPECT_EQ(NextChange::find(root, {root, {}}, {})->node, node);
}

TEST_F(NextChangeTest, NothingIsFoundWithoutChangesOrWhereOnlyOfflineServersHoldThem) {
    EXPECT_FALSE(next_from(b));
    EXPECT_FALSE(NextChange::find(root, {}, {}));
    mark(a);
    EXPECT_FALSE(NextChange::find(root, {}, {false, true}));
    node->online = true;
    EXPECT_EQ(NextChange::find(root, {}, {false, true})->folder, a);
}

}  // namespace
}  // namespace tovan
