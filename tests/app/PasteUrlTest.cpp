#include <gtest/gtest.h>

#include "app/PasteUrl.h"
#include "engine/catalog/Server.h"

namespace tovan {
namespace {

// What the user typed, and the place as printed back: pasted again, it names
// the same place, and it never holds the password.
TEST(PasteUrl, LocalPathsStayPathsOthersBecomeUrlsWithoutPasswords) {
    const std::pair<std::string, std::string> table[] = {
        {"/home/u/a b/", "/home/u/a b/"},
        {"smb://nas/share/films #1/", "smb://nas/share/films%20%231/"},
        {"ftp://us%40r:se%3Acret@[::1]:2121/pub/x y/", "ftp://us%40r@[::1]:2121/pub/x%20y/"},
        {"ftps://ftp.example.org/100%25/", "ftps://ftp.example.org/100%25/"},
        {"https://example.org/a%20b/", "https://example.org/a%20b/"},
    };
    for (const auto& [typed, shown] : table) {
        Server server;
        ASSERT_TRUE(server.from_url(typed)) << typed;
        EXPECT_EQ(paste_url(server), shown);
    }
}

}  // namespace
}  // namespace tovan
