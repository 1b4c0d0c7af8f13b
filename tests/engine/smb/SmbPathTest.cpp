#include <gtest/gtest.h>

#include "engine/smb/SmbPath.h"

namespace tovan {
namespace {

struct PathCase {
    const char* full_path;
    const char* host;
    const char* url;
};

TEST(SmbPath, CatalogPathsOfEveryFormBecomeOneUrl) {
    const PathCase cases[] = {
        {"\\\\host", "host", "smb://host/"},
        {"\\\\host/", "host", "smb://host/"},
        {"\\\\host:4455\\", "host:4455", "smb://host:4455/"},
        {"\\\\host/pub/docs/", "host", "smb://host/pub/docs/"},
        {"\\\\host\\pub\\docs\\sub", "host", "smb://host/pub/docs/sub/"},
        {"\\\\host/\\pub//a b", "host", "smb://host/pub/a%20b/"},
        {"smb://host/pub/50%?#;@.txt", "host", "smb://host/pub/50%25%3F%23%3B%40.txt/"},
        {"\\\\host/pub/\xC3\xA9t\xC3\xA9", "host", "smb://host/pub/%C3%A9t%C3%A9/"},
    };
    for (const PathCase& test : cases) {
        SCOPED_TRACE(test.full_path);
        const SmbPath place = SmbPath::read(test.full_path);
        EXPECT_EQ(place.host, test.host);
        EXPECT_EQ(place.url(), test.url);
    }
    EXPECT_TRUE(SmbPath::read("\\\\host/").is_host());
    EXPECT_FALSE(SmbPath::read("\\\\host/pub").is_host());
    EXPECT_EQ(SmbPath::read("\\\\name:99/pub").url("10.0.0.1:99"), "smb://10.0.0.1:99/pub/");
}

}  // namespace
}  // namespace tovan
