#include "cli/WatchHolder.h"

#include "app/CatalogSaver.h"
#include "cli/Session.h"

namespace tovan::cli {

Document& WatchHolder::document() {
    return session_.document();
}

Options& WatchHolder::options() {
    return session_.options();
}

InternetSession* WatchHolder::internet_session() {
    return session_.internet_session();
}

// The saver's thread may be writing a catalog that the whole save writes too.
void WatchHolder::save_document() {
    saver_.finish();
    session_.document().store();
}

void WatchHolder::save_options() {
    session_.application()->save_options();
}

}  // namespace tovan::cli
