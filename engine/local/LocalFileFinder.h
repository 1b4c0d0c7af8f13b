#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/connection/FileFinder.h"
#include "engine/local/OpenFolders.h"
#include "tovan/SharedPtr.h"

namespace tovan {

// Lists a folder of this machine. Symbolic links to folders are delivered as
// files of size 0 with the link's own time, so a scan never follows them into a
// loop; links to files carry their target's size and time.
class LocalFileFinder : public FileFinder {
public:
    LocalFileFinder() = default;
    // Opens folders relative to those folders keeps, and gives it each folder
    // listed whole that has subfolders.
    explicit LocalFileFinder(SharedPtr<OpenFolders> folders) : folders_(std::move(folders)) {}
    ~LocalFileFinder() override;

    bool find_file(const Entry& folder) override;
    bool find_next(SharedPtr<Entry>& item) override;
    bool list_next(Listing& listing) override;
    ReachFailure failure() const override;

    // An item as read, its name still in the finder's buffer.
    struct Found {
        std::string_view name;
        bool folder = false;
        std::uint64_t size = 0;
        std::int64_t time = 0;
    };

private:
    // As much as one call reads of a large folder; a small one fits whole.
    static constexpr std::size_t BufferSize = 32 * 1024;

    void close_directory();
    bool read_item();
    // Takes a folder the catalog already holds into next_ without looking at it.
    bool take_known_folder(const char* name, unsigned char type);
    // Fills the buffer with the folder's next names; false at its end.
    bool read_names();

    SharedPtr<OpenFolders> folders_;
    const Entry* known_ = nullptr;  // the folder being listed, as the catalog has it
    int directory_ = -1;
    bool read_whole_ = false;  // every name was read
    bool has_subfolders_ = false;
    std::string path_;  // named when reading the folder fails
    std::unique_ptr<char[]> buffer_;
    std::size_t filled_ = 0;
    std::size_t offset_ = 0;
    // One item read ahead, so find_next can tell whether more follow.
    Found next_;
    bool has_next_ = false;
    int error_ = 0;  // errno of the last find_file that failed
};

}  // namespace tovan
