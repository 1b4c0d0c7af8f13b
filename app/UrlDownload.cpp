#include "app/UrlDownload.h"

#include "engine/catalog/Location.h"
#include "engine/download/DestinationName.h"
#include "engine/download/Downloader.h"
#include "tovan/Blanks.h"

namespace tovan {
namespace {

std::nullopt_t refused(std::string* problem, std::string why) {
    if (problem != nullptr)
        *problem = std::move(why);
    return std::nullopt;
}

}  // namespace

UrlDownload::UrlDownload(SharedPtr<Server> server, std::string file_name)
    : server_(std::move(server)), file_name_(std::move(file_name)) {}

std::optional<std::string> UrlDownload::file_name_of(std::string_view text, std::string* problem) {
    text = without_blanks_around(text);
    if (!Location::is_url(text) && !text.starts_with('/'))
        return refused(problem, "a URL begins with its scheme, such as https:// or ftp://");
    std::string file_name;
    std::string why;
    if (!Location::read(text, &file_name, &why))
        return refused(problem, why);
    if (file_name.empty())
        return refused(problem, "it names a folder; end it with the name of a file");
    if (!DestinationName::is_safe(file_name))
        return refused(problem, "\"" + file_name + "\" can't be the name of a file");
    return file_name;
}

std::optional<UrlDownload> UrlDownload::read(std::string_view text, std::string* problem) {
    std::optional<std::string> file_name = file_name_of(text, problem);
    auto server = make_shared<Server>();
    if (!file_name || !server->from_url(without_blanks_around(text), nullptr, problem))
        return std::nullopt;
    return UrlDownload(std::move(server), std::move(*file_name));
}

SharedPtr<Downloader> UrlDownload::make_job(InternetSession* session,
                                            const std::string& folder) const {
    auto job = make_shared<Downloader>(session);
    job->set_server(*server_);
    job->add_path(file_name_, folder);
    job->set_name(file_name_);
    return job;
}

}  // namespace tovan
