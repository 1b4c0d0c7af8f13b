#pragma once

#include <string>

namespace tovan {

class Entry;
class Server;

// Where an entry lives, written so that a user can paste it into a shell, a
// file manager or `ferrovane-cli add`: a local entry as its absolute path,
// others as URLs ("smb://host/share/path", "ftp://login@host:2121/path") with
// the path percent-encoded where a URL needs it. A password never appears:
// output ends up in terminals' scrollback, logs and scripts. Examples:
// tests/cli/OutputFormTest.cpp.
std::string paste_url(const Server& server, const Entry* entry = nullptr);

}  // namespace tovan
