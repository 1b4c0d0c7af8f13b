#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "support/LoadedDocument.h"
#include "support/TempFolder.h"

namespace tovan {
namespace {

using test::read_file;

// A child saves two server lists of different sizes in turn and is killed at
// random instants: every file is one whole version or the other, and loads.
TEST(SafeSave, KillingTheWriterAtAnyInstantLeavesWholeLoadableFiles) {
    test::TempFolder folder;
    test::LoadedDocument small(folder.path()), large(folder.path());
    for (int i = 0; i < 40; ++i) {
        SharedPtr<Server> server = make_shared<Server>();
        ASSERT_TRUE(server->from_url("/srv/share" + std::to_string(i) + "/"));
        server->set_catalog_name("CATALOG" + std::string(1, static_cast<char>('A' + i % 20)));
        for (int f = 0; f < 500; ++f)
            server->root()->add_child(Entry::create_file("f" + std::to_string(f), f, f));
        large.servers()->children.push_back(TreeEntry::make_server_node(server));
    }
    large.store();
    const std::string large_list = read_file(folder.file("servers.dat"));
    small.store();
    const std::string small_list = read_file(folder.file("servers.dat"));

    std::mt19937 random(11);
    for (int round = 0; round < 60; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) (i % 2 ? small : large).store();
        }
        ::usleep(500 + random() % 20000);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        for (const char* name : {"servers.dat", "prev_servers.dat"}) {
            const std::string content = read_file(folder.file(name));
            ASSERT_TRUE(content == small_list || content == large_list)
                << name << " round " << round;
        }
        Document loaded(folder.path());
        ASSERT_NO_THROW(loaded.load(small.damaged)) << "round " << round;
        for (const SharedPtr<TreeEntry>& node : loaded.servers()->children)
            ASSERT_EQ(node->server->root()->child_count(), 500u) << "round " << round;
    }
}

}  // namespace
}  // namespace tovan
