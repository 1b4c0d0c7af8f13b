#pragma once

#include <string>

namespace tovan {

class Document;
class InternetSession;
class Options;
class Scheduler;
class SchedulerObservers;

// What the process that holds the data folder (`watch`, the desktop program)
// lends to the commands other processes send it: its live document, options and
// scheduler instead of the files. Every call comes from the holder's own thread,
// the one that ticks the scheduler.
class DataHolder {
public:
    virtual ~DataHolder() = default;

    virtual Document& document() = 0;
    virtual Options& options() = 0;
    virtual InternetSession* internet_session() = 0;
    // Scans that a client's sync asks for start here, never on a second
    // scheduler over the same document.
    virtual Scheduler& scheduler() = 0;
    // The observer the scheduler tells: a waiting sync adds its own to it for a
    // while.
    virtual SchedulerObservers& scan_observers() = 0;
    // Safe saves of what a command changed; raise tovan::Exception (or another
    // std::exception) naming the file that could not be written.
    virtual void save_document() = 0;
    virtual void save_options() = 0;
    // A client's command has changed the servers, groups, filter, jobs or options:
    // what shows them is brought up to date.
    virtual void data_changed() = 0;
};

}  // namespace tovan
