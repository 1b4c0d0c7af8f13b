#include "engine/scan/ScanThread.h"

#include <chrono>
#include <exception>

#include "engine/connection/ReachFailure.h"
#include "engine/connection/ServerRefusal.h"
#include "engine/scan/Scanner.h"
#include "tovan/log/LogChannels.h"

namespace tovan {

bool ScanThread::idle_step() {
    // Only a thread about to connect looks at the queue first: for the others,
    // taking the next request tells whether there is one.
    if (scanner_.is_stopping() || (!connection_ && scanner_.queue_empty()))
        return rest();
    try {
        if (!connection_ && !connect())
            return false;
        const SharedPtr<Request> request = scanner_.next_request(*this);
        if (!request)
            return rest();
        if (request->run(scanner_, connection_))
            scanner_.request_done(request);
    } catch (const ServerRefusal& refusal) {
        fail(refusal.what(), false);
    } catch (const std::exception& error) {
        fail(error.what(), true);
    }
    scanner_.finish_request(*this);
    if (const std::uint32_t delay = scanner_.delay(); delay > 0)
        sleep_unless_quit(std::chrono::milliseconds(delay));
    return true;
}

// Nothing to do: the connection lets go of what it held for the next request.
bool ScanThread::rest() {
    if (connection_)
        connection_->idle();
    return false;
}

bool ScanThread::connect() {
    scanner_.server().log_text("connecting...");
    SharedPtr<Connection> connection = scanner_.connect();
    if (!connection) {
        request_quit();
        return false;
    }
    scanner_.set_connection(*this, std::move(connection));
    return true;
}

// The request is lost; its folder keeps what the catalog had and is listed
// again by the next scan. The next request reconnects.
void ScanThread::fail(const char* message, bool drop) {
    Server& server = scanner_.server();
    error_log(1) << "scanning " << ReachFailure::place_of(server) << ": " << message << std::endl;
    server.set_last_error(message);
    server.log_text(message);
    if (current_)
        scanner_.push_updated(current_->target());
    if (drop)
        drop_connection();
}

void ScanThread::drop_connection() {
    const SharedPtr<Connection> connection = scanner_.take_connection(*this);
    if (!connection)
        return;
    if (connection->close_once())
        scanner_.server().log_text("disconnecting...");
    scanner_.connection_dropped();
}

void ScanThread::on_exit() {
    drop_connection();
    scanner_.remove_thread(this);
}

}  // namespace tovan
