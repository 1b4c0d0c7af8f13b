#include "engine/FileLocalDownloader.h"

#include <unistd.h>

#include "engine/SmbFile.h"
#include "tovan/File.h"

namespace tovan {

FileLocalDownloader::FileLocalDownloader() : input_(std::make_unique<File>()) {}

FileLocalDownloader::FileLocalDownloader(SharedPtr<SmbContext> network)
    : network_(network), input_(std::make_unique<SmbFile>(std::move(network))) {}

bool FileLocalDownloader::is_found() {
    if (network_) return SmbFile::exists(*network_, source());
    return ::access(source().c_str(), F_OK) == 0;
}

std::uint64_t FileLocalDownloader::size() {
    const std::int64_t size = input_->is_open() ? input_->size() : -1;
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

bool FileLocalDownloader::open() {
    if (input_->is_open()) input_->close();
    return input_->open(source(), std::ios_base::in);
}

void FileLocalDownloader::close_source() {
    if (input_->is_open()) input_->close();
}

std::size_t FileLocalDownloader::do_read_chunk(std::size_t n, std::vector<char>& buffer) {
    const std::size_t before = buffer.size();
    buffer.resize(before + n);
    std::size_t got = 0;
    // A read may return less than asked before the end: only a zero means the end.
    while (got < n) {
        const std::int64_t read = input_->read(buffer.data() + before + got, n - got);
        if (read <= 0) break;
        got += static_cast<std::size_t>(read);
    }
    buffer.resize(before + got);
    return got;
}

bool FileLocalDownloader::seek(std::uint64_t offset) {
    return input_->seek(static_cast<std::int64_t>(offset), std::ios_base::beg) ==
           static_cast<std::int64_t>(offset);
}

}  // namespace tovan
