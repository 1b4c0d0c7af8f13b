#pragma once

#include <memory>

#include "engine/connection/FileDownloader.h"
#include "tovan/AbstractFile.h"
#include "tovan/SharedPtr.h"

namespace tovan {

class SmbContext;

// Copies files of this machine or, given the SMB context of a network
// connection, files on the shares of a network host.
class FileLocalDownloader : public FileDownloader {
public:
    FileLocalDownloader();
    explicit FileLocalDownloader(SharedPtr<SmbContext> network);
    // Reads through the given file: for tests that need a disk that fails.
    explicit FileLocalDownloader(std::unique_ptr<AbstractFile> input);

    bool is_found() override;
    std::uint64_t size() override;

protected:
    bool open() override;
    void close_source() override;
    std::size_t do_read_chunk(std::size_t n, std::vector<char>& buffer) override;
    bool seek(std::uint64_t offset) override;

private:
    [[noreturn]] void fail_reading();

    SharedPtr<SmbContext> network_;
    std::unique_ptr<AbstractFile> input_;
};

}  // namespace tovan
