#pragma once

#include <curl/curl.h>

#include <cstddef>
#include <vector>

namespace tovan {

// Reads a libcurl transfer the way a file is read: each read asks for up to n
// bytes and returns what arrived, fewer only at the end. Between reads the
// transfer is paused, so the server waits and a stop takes effect before the
// next chunk. Bytes libcurl hands over beyond the chunk are held for the next
// read rather than refused, which libcurl would count as a write error.
//
// The easy handle is set up by the owner (address, range, resume offset) and
// runs in the owner's multi handle, which keeps its connections between
// transfers; neither is owned here. One thread drives a transfer.
class CurlTransfer {
public:
    CurlTransfer(CURL* easy, CURLM* multi) : easy_(easy), multi_(multi) {}
    ~CurlTransfer() { cancel(); }
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // Starts the transfer and runs it until the answer's first bytes are there
    // (the status and headers are then known) or it has ended.
    void begin();
    // Appends up to n bytes to buffer; fewer once the transfer has ended, which
    // result() then tells apart from a failure.
    std::size_t read(std::size_t n, std::vector<char>& buffer);
    // Abandons a transfer that has not ended; libcurl closes a connection whose
    // answer was not read to the end.
    void cancel();

    // Begun and not yet cancelled.
    bool is_open() const { return open_; }
    bool ended() const { return ended_; }
    CURLcode result() const { return result_; }

private:
    static std::size_t take(char* data, std::size_t size, std::size_t count, void* transfer);
    void step();
    void drain_held();
    void collect_end();

    CURL* easy_;
    CURLM* multi_;
    bool open_ = false;
    bool attached_ = false;  // in the multi handle
    bool ended_ = false;
    bool paused_ = false;
    bool discard_ = false;
    CURLcode result_ = CURLE_OK;
    std::vector<char>* target_ = nullptr;
    std::size_t room_ = 0;
    std::vector<char> held_;
    std::size_t held_at_ = 0;
};

}  // namespace tovan
