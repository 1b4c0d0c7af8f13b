#pragma once

#include <mutex>
#include <string>
#include <string_view>

namespace tovan {

// The steps of a download job and every server answer, stamped with the local
// time, for the user to read. The job's thread writes it while the user
// interface reads and clears it, so it has a lock of its own.
class TransferLog {
public:
    // Beyond this many characters the log is emptied before the next answer.
    static constexpr std::size_t Limit = 4096;

    // Texts shorter than two characters carry nothing and are left out.
    void append_answer(std::string_view text);
    std::string text() const;
    void clear();

private:
    mutable std::mutex lock_;
    std::string buffer_;
};

}  // namespace tovan
