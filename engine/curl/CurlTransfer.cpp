#include "engine/curl/CurlTransfer.h"

#include <algorithm>

namespace tovan {

void CurlTransfer::begin() {
    cancel();
    open_ = true;
    ended_ = paused_ = false;
    result_ = CURLE_OK;
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlTransfer::take);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    const CURLMcode added = curl_multi_add_handle(multi_, easy_);
    attached_ = added == CURLM_OK;
    if (!attached_) {
        ended_ = true;
        result_ = CURLE_FAILED_INIT;
        return;
    }
    // With no room, the first body bytes pause the transfer.
    while (!ended_ && !paused_) step();
}

std::size_t CurlTransfer::read(std::size_t n, std::vector<char>& buffer) {
    const std::size_t before = buffer.size();
    buffer.reserve(before + n);
    target_ = &buffer;
    room_ = n;
    drain_held();
    if (room_ > 0 && paused_ && attached_) {
        paused_ = false;
        // Hands over what libcurl kept back at the pause, possibly pausing again.
        curl_easy_pause(easy_, CURLPAUSE_CONT);
    }
    while (room_ > 0 && !ended_ && attached_) step();
    target_ = nullptr;
    room_ = 0;
    return buffer.size() - before;
}

void CurlTransfer::cancel() {
    if (attached_) {
        if (paused_) {
            // Lets libcurl hand over and forget what it kept back at the pause.
            discard_ = true;
            curl_easy_pause(easy_, CURLPAUSE_CONT);
            discard_ = false;
        }
        curl_multi_remove_handle(multi_, easy_);
        attached_ = false;
    }
    open_ = paused_ = false;
    held_.clear();
    held_at_ = 0;
}

// One round of the multi handle, then a wait for the sockets of at most a few
// milliseconds: this libcurl sometimes sets no timer while it opens a data
// connection and would sleep a whole second in its own wait.
void CurlTransfer::step() {
    int running = 0;
    if (curl_multi_perform(multi_, &running) != CURLM_OK) {
        result_ = CURLE_RECV_ERROR;
        ended_ = true;
    }
    collect_end();
    if (ended_ || paused_ || (target_ != nullptr && room_ == 0))
        return;
    long wanted = -1;
    curl_multi_timeout(multi_, &wanted);
    const int wait = wanted >= 0 && wanted < 2 ? static_cast<int>(wanted) : 2;
    curl_multi_poll(multi_, nullptr, 0, wait, nullptr);
}

// An ended transfer leaves the multi handle at once, so its connection goes
// back to the cache for the next transfer.
void CurlTransfer::collect_end() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
        if (message->msg != CURLMSG_DONE || message->easy_handle != easy_)
            continue;
        result_ = message->data.result;
        ended_ = true;
    }
    if (ended_ && attached_) {
        curl_multi_remove_handle(multi_, easy_);
        attached_ = false;
    }
}

void CurlTransfer::drain_held() {
    const std::size_t count = std::min(room_, held_.size() - held_at_);
    if (count == 0)
        return;
    target_->insert(target_->end(), held_.data() + held_at_, held_.data() + held_at_ + count);
    held_at_ += count;
    room_ -= count;
    if (held_at_ == held_.size()) {
        held_.clear();
        held_at_ = 0;
    }
}

std::size_t CurlTransfer::take(char* data, std::size_t size, std::size_t count, void* transfer) {
    auto* self = static_cast<CurlTransfer*>(transfer);
    const std::size_t total = size * count;
    if (self->discard_)
        return total;
    if (self->target_ == nullptr || self->room_ == 0) {
        self->paused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    const std::size_t now = std::min(self->room_, total);
    self->target_->insert(self->target_->end(), data, data + now);
    self->room_ -= now;
    // Held bytes were all handed out before the room was offered, so these follow them.
    self->held_.insert(self->held_.end(), data + now, data + total);
    return total;
}

}  // namespace tovan
