#include <gtest/gtest.h>

#include "app/Options.h"
#include "app/TreeLabels.h"
#include "engine/catalog/Server.h"
#include "support/CatalogText.h"

namespace tovan {
namespace {

SharedPtr<TreeEntry> local_node(const std::string& name, bool online) {
    SharedPtr<TreeEntry> node = test::server_node("/srv/" + name + "/", name);
    node->online = online;
    return node;
}

TEST(TreeLabelsTest, AnUnlimitedDepthComesFirstInBracketsDirectlyBeforeTheName) {
    const SharedPtr<TreeEntry> node = local_node("films", true);
    node->server->set_scan_depth(*node->server->root(), Server::FullScan);
    Options options;
    options.show_scan_depth = true;
    EXPECT_EQ(TreeLabels::node_label(*node, {}, options), "[inf]films");
    node->server->set_scan_depth(*node->server->root(), 3);
    EXPECT_EQ(TreeLabels::node_label(*node, {}, options), "[3]films");
    EXPECT_EQ(TreeLabels::depth_text(7), "error");
}

TEST(TreeLabelsTest, AGroupCountsItsOnlineServersOverAllServersBelowIt) {
    const SharedPtr<TreeEntry> group = TreeEntry::make_group("nas");
    const SharedPtr<TreeEntry> inner = TreeEntry::make_group("inner");
    group->children = {local_node("a", true), local_node("b", false), inner};
    inner->children = {local_node("c", true), local_node("d", true), local_node("e", false)};
    EXPECT_EQ(TreeLabels::node_label(*group, {}, Options()), "nas(3/5)");
}

struct ScanCase {
    ScanProgress scan;
    bool online;
    const char* text;
};

TEST(TreeLabelsTest, TheScanPartShowsThreadsAndPercentUntilDoneAndAQuestionMarkWhileOffline) {
    const ScanCase cases[] = {
        {{true, false, 3, 100, 60}, true, "[t: 3. 40%]"},
        {{true, false, 1, 100, 60}, true, "[40%]"},
        {{true, false, 1, 100, 0}, true, ""},
        {{true, false, 2, 100, 0}, true, "[t: 2]"},
        {{true, false, 3, 100, 60}, false, "[?]"},
        {{true, true, 2, 100, 60}, false, "(t: 2)"},
        {{true, false, 1, 0, 0}, true, ""},
        {{false, false, 0, 0, 0}, false, ""},
    };
    for (const ScanCase& each : cases)
        EXPECT_EQ(TreeLabels::scan_text(each.scan, each.online), each.text)
            << each.scan.threads << " threads, " << each.scan.remaining << " remaining";
}

TEST(TreeLabelsTest, AnOfflineServerUnderScanEndsInAQuestionMarkAndTimesFollowIt) {
    const SharedPtr<TreeEntry> node = local_node("ftp", false);
    node->last_scan_ms = 1500;
    Options options;
    options.show_scan_time = true;
    EXPECT_EQ(TreeLabels::node_label(*node, {true, false, 1, 10, 5}, options), "ftp[?][0s][1.5s]");
}

}  // namespace
}  // namespace tovan
