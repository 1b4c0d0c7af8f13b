#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/catalog/Server.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class Downloader;
class InternetSession;

// A file named by a URL, to be downloaded: the server it lies on and its name.
class UrlDownload {
public:
    UrlDownload(SharedPtr<Server> server, std::string file_name);

    // The name of the file that text names as the desktop's URL dialog takes
    // it: a URL with a scheme, \\host or //host, or an absolute path, ending
    // in a file's name. Empty, with problem set when given, for any other
    // text. It only reads: a text still being typed leaves nothing behind.
    static std::optional<std::string> file_name_of(std::string_view text,
                                                   std::string* problem = nullptr);
    // The same, with the server the file lies on.
    static std::optional<UrlDownload> read(std::string_view text, std::string* problem = nullptr);

    // A new job that fetches the file into folder; it runs once resumed.
    SharedPtr<Downloader> make_job(InternetSession* session, const std::string& folder) const;

    const std::string& file_name() const { return file_name_; }

private:
    SharedPtr<Server> server_;
    std::string file_name_;
};

}  // namespace tovan
