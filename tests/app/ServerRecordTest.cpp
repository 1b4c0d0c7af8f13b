#include <gtest/gtest.h>

#include "app/ServerRecord.h"
#include "support/TempFolder.h"
#include "tovan/io/IFStream.h"
#include "tovan/io/OFStream.h"

namespace tovan {
namespace {

// HTTPS servers are stored as HTTP ones are, under their own kind number.
TEST(ServerRecord, KeepsHttpAndHttpsServersWithTheirPorts) {
    test::TempFolder folder;
    const std::string path = folder.file("servers.dat");
    Server http;
    http.set_http("example.com", 8080, "/files/");
    Server https;
    ASSERT_TRUE(https.from_url("https://example.com/secure/"));
    {
        io::OFStream out(path);
        ServerRecord::write(out, http);
        ServerRecord::write(out, https);
        out.close();
    }
    io::IFStream in(path);
    for (const Server* written : {&http, &https}) {
        const SharedPtr<Server> read = ServerRecord::read(in);
        EXPECT_EQ(read->kind(), written->kind());
        EXPECT_EQ(read->http_host(), "example.com");
        EXPECT_EQ(read->http_port(), written->http_port());
        EXPECT_EQ(read->url(), written->url());
    }
    EXPECT_EQ(https.kind(), ServerKind::Https);
}

}  // namespace
}  // namespace tovan
