#pragma once

#include <array>
#include <streambuf>

namespace tovan::cli {

// std::cout's buffer while the program runs: it writes stdout itself and keeps
// the first error, so that a full disk is told from a reader that went away,
// and neither ends a command as if all was printed.
class StdoutBuffer : public std::streambuf {
public:
    StdoutBuffer();
    ~StdoutBuffer() override;
    StdoutBuffer(const StdoutBuffer&) = delete;
    StdoutBuffer& operator=(const StdoutBuffer&) = delete;

    // The exit status once all is written: the command's own, or 1 when stdout
    // could not take it (said on stderr, except for a reader that left, as
    // `| head` does).
    int finish(int status);

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool drain();

    std::array<char, 1 << 16> buffer_;
    int error_ = 0;
    std::streambuf* previous_;
};

}  // namespace tovan::cli
