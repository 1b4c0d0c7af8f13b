#pragma once

#include <source_location>

namespace tovan {

// The record that goes to the log's "exception" channel before a failure is
// raised: where it was raised and its text, so that a maintainer can find the
// place even when the caller only shows the text.
class FailureRecord {
public:
    static void write(const char* text,
                      std::source_location location = std::source_location::current()) noexcept;

    // The location of this thread's last failure record.
    static std::source_location last_location() noexcept;
};

}  // namespace tovan
