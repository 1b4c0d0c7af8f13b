#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "tovan/io/OFStream.h"

namespace tovan {

// Writes a data file so that a crash at any instant leaves either the old or the
// new file whole: the content goes to "temp" in the same folder, reaches the
// disk, and then replaces the target in one rename; the folder is synced so the
// rename itself survives a power cut. Saves into folders run one at a time across
// the whole process, each with its writer: a writer must not save another file.
class SafeSave {
public:
    using Writer = std::function<void(io::OFStream&)>;

    // Raises tovan::io::Failure naming the file and why when it cannot be
    // written; "temp" is removed then and the old file stays. With a backup name,
    // the file being replaced is kept under that name first, again without any
    // moment at which the target or the backup is missing or partial.
    static void write(const std::string& folder, const std::string& file_name, const Writer& writer,
                      const std::string& backup_name = {});
    // The same for a text file of another program's format: the bytes as they
    // are, without the stream header.
    static void write_text(const std::string& folder, const std::string& file_name,
                           std::string_view text);
    // The same for a file in a folder of the user's (an export): the content is
    // written beside the target under its name with ".partial" added, so no file
    // of the user's named "temp" is touched.
    static void write_file(const std::string& path, const Writer& writer);

    static constexpr const char* TempName = "temp";
};

}  // namespace tovan
