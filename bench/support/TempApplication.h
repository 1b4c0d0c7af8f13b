#pragma once

#include <memory>
#include <string>

#include "app/Application.h"
#include "engine/tree/TreeEntry.h"

namespace bench {

// The application started on a fresh data folder in the temporary folder, which
// goes with it; the login session is left alone. For benchmarks of what runs on
// a live application (windows, scans).
class TempApplication {
public:
    // Raises std::runtime_error when the application cannot start.
    TempApplication();
    ~TempApplication();
    TempApplication(const TempApplication&) = delete;
    TempApplication& operator=(const TempApplication&) = delete;

    tovan::Application& application() { return *application_; }
    // A folder of the temporary folder, made on the way, for places to watch.
    std::string make_folder(const std::string& name) const;
    // A local server of the folder, online, added to the root group; its catalog
    // holds that many files in the root, made up as a scan would list them.
    tovan::SharedPtr<tovan::TreeEntry> add_local_server(const std::string& path,
                                                        const std::string& name, int files = 0);

private:
    std::string folder_;
    std::unique_ptr<tovan::Application> application_;
};

}  // namespace bench
