#include "cli/CommandLine.h"
#include "cli/StdoutBuffer.h"

#ifdef __SANITIZE_ADDRESS__
// libsmbclient keeps process-wide configuration in talloc memory that it never
// frees; in a sanitizer build the leak checker would fail every command that
// reaches a network host for it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libtalloc.so\n";
}
#endif

int main(int argc, char** argv) {
    tovan::cli::StdoutBuffer out;
    return out.finish(tovan::cli::CommandLine().run(argc, argv));
}
