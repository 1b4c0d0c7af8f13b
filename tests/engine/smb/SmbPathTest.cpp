#include <gtest/gtest.h>

#include <tuple>

#include "engine/smb/SmbPath.h"

namespace tovan {
namespace {

TEST(SmbPath, CatalogPathsOfEveryFormBecomeOneUrl) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        // path, host, url
        {"\\\\host", "host", "smb://host/"},
        {"\\\\host/", "host", "smb://host/"},
        {"\\\\host:4455\\", "host:4455", "smb://host:4455/"},
        {"\\\\host/pub/docs/", "host", "smb://host/pub/docs/"},
        {"\\\\host\\pub\\docs\\sub", "host", "smb://host/pub/docs/sub/"},
        {"\\\\host/\\pub//a b", "host", "smb://host/pub/a%20b/"},
        {"smb://host/pub/50%?#;@.txt", "host", "smb://host/pub/50%25%3F%23%3B%40.txt/"},
        {"\\\\host/pub/\xC3\xA9t\xC3\xA9", "host", "smb://host/pub/%C3%A9t%C3%A9/"},
    };
    for (const auto& [full_path, host, url] : cases) {
        SCOPED_TRACE(full_path);
        const SmbPath place = SmbPath::read(full_path);
        EXPECT_EQ(place.host, host);
        EXPECT_EQ(place.url(), url);
    }
    EXPECT_TRUE(SmbPath::read("\\\\host/").is_host());
    EXPECT_FALSE(SmbPath::read("\\\\host/pub").is_host());
    EXPECT_EQ(SmbPath::read("\\\\name:99/pub").url("10.0.0.1:99"), "smb://10.0.0.1:99/pub/");
}

}  // namespace
}  // namespace tovan
