#pragma once

#include <atomic>

#include "engine/connection/Connection.h"
#include "engine/scan/Request.h"
#include "tovan/WorkerThread.h"

namespace tovan {

class Scanner;

// A worker of one scanner: connects to the server when there is work, then takes
// requests from the queue and runs them until it is told to quit.
class ScanThread : public WorkerThread {
public:
    explicit ScanThread(Scanner& scanner) : scanner_(scanner) {}

protected:
    bool idle_step() override;
    void on_exit() override;

private:
    friend class Scanner;

    bool rest();
    bool connect();
    // A refusal keeps the connection; any other failure drops it.
    void fail(const char* message, bool drop);
    void drop_connection();

    Scanner& scanner_;
    // Set and cleared by this thread under the scanner's threads lock, which the
    // scanner holds to read them (and to close the connection on a stop).
    SharedPtr<Connection> connection_;
    SharedPtr<Request> current_;
    bool busy_ = false;
};

}  // namespace tovan
