#pragma once

#include "engine/FileDownloader.h"
#include "tovan/File.h"

namespace tovan {

// Copies files of this machine.
class FileLocalDownloader : public FileDownloader {
public:
    bool is_found() override;
    std::uint64_t size() override;

protected:
    bool open() override;
    void close_source() override;
    std::size_t do_read_chunk(std::size_t n, std::vector<char>& buffer) override;
    bool seek(std::uint64_t offset) override;

private:
    File input_;
};

}  // namespace tovan
