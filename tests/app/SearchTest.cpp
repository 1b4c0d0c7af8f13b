#include <gtest/gtest.h>

#include "app/Search.h"
#include "app/SearchMasks.h"
#include "engine/catalog/ChangeMarks.h"
#include "support/CatalogText.h"
#include "tovan/Wildcard.h"

namespace tovan {
namespace {

using Masks = std::vector<std::string>;
using test::add_file;
using test::add_folder;

TEST(SearchMasks, AreCutAtCommasThenSemicolonsAndWrappedInStars) {
    const std::pair<const char*, Masks> table[] = {
        {"", {}},
        {" *.zip, *.rar", {"**.ZIP*", "**.RAR*"}},
        {"avi;mkv", {"*AVI*", "*MKV*"}},
        // While a comma remains, a semicolon before it stays in the token.
        {"a;b,c", {"*A;B*", "*C*"}},
        // Leading blanks go, trailing ones stay; empty tokens are dropped.
        {"  x ,, ;y", {"*X *", "*Y*"}},
        {"Ärger, фильм", {"*ÄRGER*", "*ФИЛЬМ*"}},
    };
    for (const auto& [text, expected] : table)
        EXPECT_EQ(SearchMasks(text).masks(), expected) << text;
}

// The fast path for masks without wildcards must agree with the wildcard rule;
// no mask at all matches everything.
TEST(SearchMasks, MatchLikeTheWildcardRule) {
    const char* const paths[] = {"/PUB/A.AVI", "/PUB/A.AVI.PART", "/AVI/", "/X/B.MKV",
                                 "",           "/ФИЛЬМ/Ü.AVI",    "AXBXC", "A.B"};
    for (const char* text :
         {".avi", "a*c", "x?c", "ф?льм", "avi;mkv", "/pub/*.avi", "a.b", "**", "b.mkv, ü", ""}) {
        const SearchMasks masks(text);
        for (const char* path : paths) {
            bool expected = masks.masks().empty();
            for (const std::string& mask : masks.masks()) expected |= wildcard_match(mask, path);
            EXPECT_EQ(masks.match_upped(path), expected) << text << " on " << path;
        }
    }
}

class SearchTest : public ::testing::Test {
protected:
    SearchTest() {
        group = TreeEntry::make_group("Servers");
        ftp = add_server("ftp://files.example/pub/", true);
        local = add_server("/srv/media/", false);
    }

    SharedPtr<TreeEntry> add_server(const std::string& url, bool online) {
        SharedPtr<TreeEntry> node = test::server_node(url);
        node->online = online;
        group->children.push_back(node);
        return node;
    }

    static SharedPtr<Entry> root(const SharedPtr<TreeEntry>& node) { return node->server->root(); }

    // The URLs found, in order, separated by blanks.
    std::string found(const SharedPtr<TreeEntry>& scope) const {
        return urls(search.roots(scope), search.run(search.roots(scope)));
    }

    static std::string urls(const std::vector<Search::Root>& roots,
                            const std::vector<SearchResult>& results) {
        std::string out;
        for (const SearchResult& result : results)
            out += (out.empty() ? "" : " ") +
                   roots.at(result.root).server->server->url(result.entry.get());
        return out;
    }

    SharedPtr<TreeEntry> group;
    SharedPtr<TreeEntry> ftp;
    SharedPtr<TreeEntry> local;
    Search search;
};

TEST_F(SearchTest, MasksSizesAndOnlineServersSelectDepthFirstInCatalogOrder) {
    const SharedPtr<Entry> txt = add_folder(root(ftp), "MyTxt");
    add_file(txt, "a.doc", 7);
    add_file(root(ftp), "notes.TXT");
    add_file(add_folder(root(ftp), "other"), "b.doc");
    add_file(root(local), "c.txt");
    search.mask_text = "txt";
    EXPECT_EQ(found(group),
              "ftp://files.example/pub/MyTxt/a.doc ftp://files.example/pub/notes.TXT "
              "/srv/media/c.txt");
    search.only_online = true;
    EXPECT_EQ(found(local), "");
    search.only_online = false;
    search.directories = true;
    EXPECT_EQ(found(ftp),
              "ftp://files.example/pub/MyTxt ftp://files.example/pub/MyTxt/a.doc "
              "ftp://files.example/pub/notes.TXT");
    // Smaller files go, never folders, exactly: 104857599 is 100 MB as a float.
    add_file(root(local), "under", 104857599);
    add_file(root(local), "at", 104857600);
    search.mask_text = "";
    search.min_size_mb = 100;
    EXPECT_EQ(found(local), "/srv/media/ /srv/media/at");
    // One folder as the scope; an empty mask finds everything.
    search.directories = false;
    search.min_size_mb = 0;
    EXPECT_EQ(urls({{ftp, txt}}, search.run({{ftp, txt}})), "ftp://files.example/pub/MyTxt/a.doc");
}

TEST_F(SearchTest, OnlyChangedSkipsUnmarkedEntriesAndDoesNotEnterUnmarkedFolders) {
    const SharedPtr<Entry> docs = add_folder(root(local), "docs");
    ChangeMarks::set(*add_file(docs, "new.txt"), EntryState::New);
    add_file(docs, "same.txt");
    // A marked file whose folder carries no mark: the folder is not entered.
    const SharedPtr<Entry> hidden = Entry::create_file("hidden.txt", 1, 1000);
    ChangeMarks::set(*hidden, EntryState::Modified);
    add_folder(root(local), "quiet")->add_child(hidden);
    search.only_changed = true;
    EXPECT_EQ(found(local), "/srv/media/docs/new.txt");
    search.directories = true;
    EXPECT_EQ(found(local), "/srv/media/ /srv/media/docs /srv/media/docs/new.txt");
}

// A search hands its results over while it walks, and a stop ends the walk
// within a few entries, so that a window can show and stop a search of millions.
TEST_F(SearchTest, DeliversInBatchesAndEndsSoonAfterAStopRequest) {
    const SharedPtr<Entry> big = add_folder(root(local), "big");
    for (std::size_t i = 0; i < 2 * Search::BatchSize + 1; ++i)
        add_file(big, "f" + std::to_string(i));
    const std::vector<Search::Root> roots = search.roots(local);
    std::vector<SearchResult> delivered;
    std::size_t batches = 0;
    EXPECT_TRUE(search.run(roots, [&](std::vector<SearchResult>&& batch) {
        EXPECT_LE(batch.size(), Search::BatchSize);
        delivered.insert(delivered.end(), batch.begin(), batch.end());
        ++batches;
    }));
    EXPECT_GE(batches, 3u);
    EXPECT_EQ(urls(roots, delivered), urls(roots, search.run(roots)));

    std::stop_source stop;
    batches = 0;
    EXPECT_FALSE(search.run(
        roots,
        [&](std::vector<SearchResult>&&) {
            ++batches;
            stop.request_stop();
        },
        stop.get_token()));
    EXPECT_EQ(batches, 1u);
}

}  // namespace
}  // namespace tovan
