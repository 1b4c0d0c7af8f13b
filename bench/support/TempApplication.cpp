#include "support/TempApplication.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "app/Document.h"
#include "engine/catalog/Server.h"
#include "support/BenchServers.h"
#include "support/CatalogBuilder.h"

namespace bench {

using namespace tovan;

TempApplication::TempApplication() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "ferrovane-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a folder in " + pattern);
    folder_ = pattern;
    Application::Settings settings;
    settings.data_dir = folder_ + "/data";
    settings.manages_autostart = false;
    application_ = std::make_unique<Application>(settings);
    if (!application_->start())
        throw std::runtime_error(application_->error());
}

TempApplication::~TempApplication() {
    application_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string TempApplication::make_folder(const std::string& name) const {
    const std::string path = folder_ + "/" + name;
    std::filesystem::create_directories(path);
    return path;
}

SharedPtr<TreeEntry> TempApplication::add_local_server(const std::string& path,
                                                       const std::string& name, int files) {
    auto server = make_shared<Server>();
    if (!server->from_url(path + "/"))
        throw std::runtime_error("not a folder to watch: " + path);
    if (files > 0)
        CatalogBuilder(*server).list(server->root(), 0, files);
    return add_server(*application_->document(), std::move(server), name);
}

}  // namespace bench
