#pragma once

#include "engine/scan/Request.h"

namespace tovan {

// Asks whether the server's root can be listed, without reading it.
class CheckRequest : public Request {
public:
    explicit CheckRequest(SharedPtr<Entry> root) : root_(std::move(root)) {}

    bool run(Scanner& scanner, SharedPtr<Connection>& connection) override;
    std::int32_t count_listings(const Scanner&) const override { return 1; }

private:
    SharedPtr<Entry> root_;
};

}  // namespace tovan
