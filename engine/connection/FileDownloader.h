#pragma once

#include <cstdint>
#include <mutex>
#include <source_location>
#include <string>
#include <string_view>
#include <vector>

#include "tovan/File.h"

namespace tovan {

class TransferLog;

// Copies one file from a server into a local file, chunk by chunk, and
// continues a partly downloaded file: a destination shorter than the source is
// resumed where it ends, one as long is already complete, one longer is
// started over. The destination is the job's own partial file; a file that
// anyone else may have written is at most compared, never written. The kinds
// supply the source side.
//
// Calling order, per file: start; if complete() the file is done; else if
// write_error() the destination could not be made; else, unless skipped() or
// is_found() is false, read_chunk until complete() or write_error().
class FileDownloader {
public:
    // A chunk is about a second of transfer, within these bounds.
    static constexpr std::int32_t MinChunk = 512;
    static constexpr std::int32_t MaxChunk = 0x500000;

    FileDownloader();
    FileDownloader(const FileDownloader&) = delete;
    FileDownloader& operator=(const FileDownloader&) = delete;
    virtual ~FileDownloader() = default;

    // earlier: a copy of the source finished before; when it is as long as the
    // source, the file is complete without a transfer and nothing is written.
    virtual void start(const std::string& source, const std::string& destination,
                       const std::string& earlier = {});
    virtual void stop();
    // Reads and writes one chunk of about `requested` bytes; the count read.
    virtual std::int32_t read_chunk(std::int32_t requested);
    virtual bool is_found() = 0;
    // The size of the source, 0 when it is not known.
    virtual std::uint64_t size() = 0;

    // Bytes present in the destination: the resume offset and all written since.
    std::uint64_t position() const;
    // Bytes per second, smoothed over the last chunks.
    std::int32_t speed() const;
    bool complete() const;
    // The destination could not be made, or took fewer bytes than were read;
    // the download stopped.
    bool write_error() const;
    // Why the destination could not be made (an errno), 0 when it was.
    int destination_error() const;
    // start found the earlier copy whole.
    bool earlier_whole() const;
    // The source is no file to copy (a folder, a device): it is left out.
    bool skipped() const;
    // Why the source is not fetched, for a skipped or missing one: the
    // server's answer or the system's.
    std::string refusal() const;
    // Receives the steps and server answers; may be null.
    void set_log(TransferLog* log);

protected:
    virtual bool open() = 0;
    virtual void close_source() = 0;
    // Appends up to n bytes of the source to buffer; the count appended.
    virtual std::size_t do_read_chunk(std::size_t n, std::vector<char>& buffer) = 0;
    // Makes the source deliver from offset on; true only if it will.
    virtual bool seek(std::uint64_t offset) = 0;

    const std::string& source() const { return source_; }
    void set_refusal(std::string text);
    void skip(std::string reason);
    // A step or a server answer, for the transfer log when there is one.
    void log(std::string_view text);
    // Logs the failure with where it happened and raises it as a tovan::Exception.
    [[noreturn]] static void fail(const char* text,
                                  std::source_location location = std::source_location::current());

private:
    void open_destination();
    void make_folders();
    void fail_destination(int error);

    mutable std::recursive_mutex lock_;
    std::string source_;
    std::string destination_;
    std::vector<char> buffer_;
    std::int32_t speed_ = 0;
    File output_;
    bool write_error_ = false;
    int destination_error_ = 0;
    bool earlier_whole_ = false;
    bool skipped_ = false;
    std::string refusal_;
    bool complete_ = false;
    bool stopped_ = false;
    std::uint64_t position_ = 0;
    TransferLog* log_ = nullptr;
};

}  // namespace tovan
