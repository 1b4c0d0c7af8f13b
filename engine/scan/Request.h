#pragma once

#include <cstdint>

#include "engine/catalog/Entry.h"
#include "engine/connection/Connection.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class Scanner;

// One unit of work that a scan thread takes from its scanner's queue.
class Request {
public:
    Request() = default;
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;
    virtual ~Request() = default;

    // Does the work; false when it was abandoned (a stop) or failed quietly.
    virtual bool run(Scanner& scanner, SharedPtr<Connection>& connection) = 0;
    // How many folder listings this request will cause, itself included.
    virtual std::int32_t count_listings(const Scanner& scanner) const = 0;
    // The catalog folder the request works on, if any.
    virtual SharedPtr<Entry> target() const { return {}; }

    // The estimate taken when the request was queued: its subtree cannot change
    // before it runs, so progress need not walk the catalog again.
    std::int32_t estimate() const { return estimate_; }
    void set_estimate(std::int32_t estimate) { estimate_ = estimate; }

private:
    std::int32_t estimate_ = 0;
};

}  // namespace tovan
