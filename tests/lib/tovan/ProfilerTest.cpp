#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <thread>

#include "support/TempFolder.h"
#include "tovan/Profiler.h"
#include "tovan/ProfilerScope.h"

namespace tovan {
namespace {

using tovan::test::read_file;
using tovan::test::TempFolder;

TEST(Profiler, NestedScopesFormATreeByNameBelowTheirEnclosingScope) {
    Profiler profiler;
    {
        const ProfilerScope main("Main", profiler);
        for (int call = 0; call < 3; ++call) {
            const ProfilerScope scan("Scanner::scan", profiler);
            const ProfilerScope rebuild("TreeView::rebuild_tree", profiler);
        }
        const ProfilerScope store("Document::store()", profiler);
    }
    {
        // Same name at the top: the same node. On another thread: no enclosing scope.
        const ProfilerScope main("Main", profiler);
        std::thread([&profiler] { const ProfilerScope worker("Worker", profiler); }).join();
    }
    TempFolder folder;
    const std::string path = folder.file("profile.log");
    ASSERT_TRUE(profiler.write_report(path, 0));
    const std::string text = read_file(path);

    const std::string number = "[0-9]+\\.[0-9]{2}";
    const std::string tail = ". time: " + number + ". n: ([0-9]+). average: " + number + "\n";
    const std::regex expected(
        "Time lost on profile: [0-9]+\\.[0-9]{9}\n"
        "Main: " +
        number + "%\\[" + number + "\\]" + ". time: " + number + ". n: 2. average: " + number +
        "\n" + "  Scanner::scan: " + number + "%\\[" + number + "\\]" + ". time: " + number +
        ". n: 3. average: " + number + "\n" + "    TreeView::rebuild_tree: " + number + "%" +
        ". time: " + number + ". n: 3. average: " + number + "\n" +
        "  Document::store\\(\\): " + number + "%" + tail + "Worker: " + number + "%" + tail);
    EXPECT_TRUE(std::regex_match(text, expected)) << text;
}

TEST(Profiler, ScopesOfOtherProfilersDoNotNest) {
    Profiler outer, inner;
    {
        const ProfilerScope a("a", outer);
        const ProfilerScope b("b", inner);
        const ProfilerScope c("c", outer);
    }
    const std::string text = inner.report(0);
    EXPECT_NE(text.find("\nb: "), std::string::npos) << text;
    EXPECT_NE(outer.report(0).find("\n  c: "), std::string::npos) << outer.report(0);
}

}  // namespace
}  // namespace tovan
