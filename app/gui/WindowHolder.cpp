#include "app/gui/WindowHolder.h"

#include "app/Application.h"
#include "app/Document.h"
#include "app/gui/MainWindow.h"

namespace tovan {

Document& WindowHolder::document() {
    return *application_.document();
}

Options& WindowHolder::options() {
    return application_.options();
}

InternetSession* WindowHolder::internet_session() {
    return application_.internet_session();
}

Scheduler& WindowHolder::scheduler() {
    return window_.scheduler();
}

SchedulerObservers& WindowHolder::scan_observers() {
    return window_.scan_observers();
}

// The saver's thread may be writing a catalog that the whole save writes too.
void WindowHolder::save_document() {
    window_.saver().finish();
    application_.document()->store();
}

void WindowHolder::save_options() {
    application_.save_options();
}

void WindowHolder::data_changed() {
    window_.data_changed_elsewhere();
}

}  // namespace tovan
