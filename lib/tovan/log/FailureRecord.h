#pragma once

namespace tovan {

// The record that goes to the log's "exception" channel before a failure is
// raised: where it was raised and its text, so that a maintainer can find the
// place even when the caller only shows the text.
class FailureRecord {
public:
    struct Location {
        const char* source = nullptr;
        int line = 0;
        const char* function = nullptr;
    };

    static void write(const char* source, int line, const char* function,
                      const char* text) noexcept;

    // The location of this thread's last failure record.
    static Location last_location() noexcept;
};

}  // namespace tovan
