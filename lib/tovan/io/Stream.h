#pragma once

#include <cstdint>
#include <streambuf>

#include "tovan/ErrorInfo.h"

namespace tovan::io {

class BasicFileBuf;

// State shared by the input and output sides of a binary stream: the state bits,
// the exception mask, the buffer and the options word. A state bit that the
// exception mask names raises tovan::io::Failure the moment it is set, after a
// failure record went to the log.
class Stream {
public:
    // State bits.
    static constexpr unsigned Bad = 1;
    static constexpr unsigned Eof = 2;
    static constexpr unsigned Fail = 4;
    // The library's own bit: part of the program's exception mask, ignored by good().
    static constexpr unsigned Library = 8;
    // The mask the program opens its files with: every failure raises.
    static constexpr unsigned ProgramMask = Library | Fail | Bad;

    // Options word flags.
    static constexpr std::uint32_t NotFromFile = 1;
    static constexpr std::uint32_t Positions = 2;
    static constexpr std::uint32_t Raw = 4;

    class Error;

    virtual ~Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    std::uint32_t options() const { return options_; }
    void set_options(std::uint32_t options) { options_ = options; }

    unsigned rdstate() const { return state_; }
    bool good() const { return (state_ & ~Library) == 0; }
    bool eof() const { return (state_ & Eof) != 0; }
    bool fail() const { return (state_ & (Fail | Bad)) != 0; }
    bool bad() const { return (state_ & Bad) != 0; }
    explicit operator bool() const { return !fail(); }

    // Sets the state (bad is added when there is no buffer) and raises when the
    // mask names a bit of it; info says why, else the buffer's own error is used.
    void clear(unsigned state = 0, ErrorInfo* info = nullptr);
    void setstate(unsigned bits, ErrorInfo* info = nullptr) { clear(state_ | bits, info); }

    unsigned exceptions() const { return mask_; }
    void exceptions(unsigned mask);

    std::streambuf* rdbuf() const { return buffer_; }

    // The name and the last error that the buffer reports, for a file buffer
    // the file's name and its system error.
    const char* buffer_name() const;
    const ErrorInfo* buffer_error() const;

    // Raises tovan::io::Failure for info (a Stream::Error when null), placed by
    // the buffer's name when it has no context of its own.
    [[noreturn]] void throw_failure_(ErrorInfo* info = nullptr) const;

protected:
    explicit Stream(std::streambuf* buffer = nullptr) { set_rdbuf(buffer); }

    void set_rdbuf(std::streambuf* buffer);
    BasicFileBuf* file_buffer() const { return file_buffer_; }

    // True when a primitive may transfer; otherwise sets fail (and bad without a
    // buffer), raising when the mask asks for it.
    bool check_() {
        if ((state_ & ~Library) == 0 && buffer_ != nullptr)
            return true;
        setstate(Fail);
        return false;
    }
    // A transfer that moved fewer bytes than asked: eof and fail, raising when the
    // mask asks for it.
    void fail_transfer_(ErrorInfo* info = nullptr) { setstate(Eof | Fail, info); }

private:
    std::streambuf* buffer_ = nullptr;
    BasicFileBuf* file_buffer_ = nullptr;
    unsigned state_ = 0;
    unsigned mask_ = 0;
    std::uint32_t options_ = Positions;
};

// The error a stream reports for itself: the text of the error its buffer
// reports (for a file, the file's system error), nothing when there is none.
class Stream::Error : public ErrorInfo {
public:
    explicit Error(const Stream& stream) : stream_(stream) {}

    std::size_t format(char* buffer, std::size_t size) const override;

private:
    const Stream& stream_;
};

}  // namespace tovan::io
